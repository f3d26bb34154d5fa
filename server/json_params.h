#pragma once

#include "server/storage.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>

namespace ctb::server {

// Many values as one bound parameter: a JSON array of rows (each row an array), which the database
// unpacks itself. One statement then checks a whole set of keys or stores a whole entry, whatever its
// size, and no client text ever becomes part of the SQL.
class JsonRows {
  public:
    void beginRow();
    void endRow();
    void text(QStringView s);                         // a null QString is written as null
    void textOrNull(const QString& s, int maxChars);  // empty: null; else cut to maxChars
    void integer(std::int64_t n);
    void null();
    [[nodiscard]] bool empty() const { return rows_ == 0; }
    [[nodiscard]] int rows() const { return rows_; }
    // The document; the builder is left empty.
    [[nodiscard]] QString take();

  private:
    void separate();
    std::string out_ = "[";
    int rows_ = 0;
    bool firstInRow_ = true;
};

// A JSON array of plain texts.
[[nodiscard]] QString jsonTexts(const QStringList& keys);

// SQL of a table expression with one row per element of the JSON array bound to `param`:
// one column K for an array of texts (jsonTexts), or columns C0..Cn-1 for an array of rows whose
// first n cells are read (as text; the caller casts). Works on SQLite (json_each) and PostgreSQL
// (jsonb_array_elements).
[[nodiscard]] QString jsonKeyTable(const Storage& storage, const QString& param);
[[nodiscard]] QString jsonRowTable(const Storage& storage, const QString& param, int columns);

}  // namespace ctb::server

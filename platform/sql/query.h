#pragma once

#include "platform/dataset/packet.h"
#include "platform/export.h"
#include "platform/sql/database.h"
#include "platform/sql/error.h"
#include "platform/sql/sql_text.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <vector>

namespace ctb::sql {

// A named parameter of a query. Values are texts; a parameter never set holds the empty text.
class CTB_PLATFORM_EXPORT Param {
  public:
    explicit Param(QString name) : name_(std::move(name)) {}

    [[nodiscard]] const QString& name() const { return name_; }
    // A null QString would bind NULL on both drivers: the empty text stays an empty text.
    void setValue(const QString& value) { value_ = value.isNull() ? QStringLiteral("") : value; }
    void clear() { value_.reset(); }  // binds NULL
    [[nodiscard]] bool isNull() const { return !value_.has_value(); }
    [[nodiscard]] QString asString() const { return value_.value_or(QString()); }

  private:
    QString name_;
    std::optional<QString> value_ = QStringLiteral("");
};

// What a screen declares about a result column; undeclared columns get inferred metadata.
struct CTB_PLATFORM_EXPORT FieldInfo {
    QString name;  // upper case
    FieldType type = FieldType::String;
    int size = 0;  // characters, for texts
    QString label;
    bool visible = true;
    QString editMask;
    bool declared = false;
};

class Query;

// One column of the current row of an open query. A closed query, or one past its last row, reads
// as null everywhere.
class CTB_PLATFORM_EXPORT Field {
  public:
    [[nodiscard]] const FieldInfo& info() const;
    [[nodiscard]] const QString& name() const { return info().name; }
    [[nodiscard]] QVariant value() const;
    [[nodiscard]] bool isNull() const;
    [[nodiscard]] QString asString() const;
    [[nodiscard]] double asFloat() const;
    [[nodiscard]] qint64 asInteger() const;
    [[nodiscard]] QDateTime asDateTime() const;
    [[nodiscard]] QDate asDate() const { return asDateTime().date(); }

  private:
    friend class Query;
    Field(const Query* query, int index) : query_(query), index_(index) {}
    const Query* query_;
    int index_;
};

// A read-only query with named `:P_...` parameters (set by name, all texts). The whole result is read
// when it opens, so navigation and the record count cost nothing and the connection is free again at
// once. Field names are upper case whatever the backend says; blank padding of texts is trimmed.
class CTB_PLATFORM_EXPORT Query {
  public:
    explicit Query(const QSqlDatabase& db, const QString& sql = {});
    explicit Query(const Database& db, const QString& sql = {});

    void setConnection(const QSqlDatabase& db);
    // Closes the query; parameters of the new text start empty, except those of the same name, which keep
    // their values.
    void setSql(const QString& sql);
    [[nodiscard]] const QString& sql() const { return sql_; }

    [[nodiscard]] const QStringList& paramNames() const { return parsed_.names; }
    // Case-insensitive; throws SqlError for a name the text does not use.
    [[nodiscard]] Param& paramByName(QStringView name);
    [[nodiscard]] Param* findParam(QStringView name);

    // Declares a result field (persistent-field style). Declared fields come first, in declaration order,
    // then every other column of the result in its own order. A declared text is cut to its size.
    void declareField(const QString& name, FieldType type, int size = 0, const QString& label = {},
                      bool visible = true);
    void setEditMask(const QString& fieldName, const QString& mask);
    void setLabel(const QString& fieldName, const QString& label);
    void setVisible(const QString& fieldName, bool visible);

    // Throws SqlError when the query fails (message in Portuguese plus the driver's text) or when a
    // declared field is missing from the result.
    void open();
    void close();
    [[nodiscard]] bool isOpen() const { return open_; }
    [[nodiscard]] bool isEmpty() const { return rows_.empty(); }

    void first() { current_ = 0; }
    void next() {
        if (current_ < recordCount())
            ++current_;
    }
    void prior() {
        if (current_ > 0)
            --current_;
    }
    void last() { current_ = rows_.empty() ? 0 : recordCount() - 1; }
    [[nodiscard]] bool eof() const { return current_ >= recordCount(); }
    [[nodiscard]] int recordCount() const { return static_cast<int>(rows_.size()); }
    [[nodiscard]] int currentRow() const { return current_; }  // from 0
    void moveTo(int row) { current_ = row < 0 ? 0 : (row > recordCount() ? recordCount() : row); }

    // Fields: the declared ones before open, all of them after.
    [[nodiscard]] const std::vector<FieldInfo>& fields() const { return fields_; }
    [[nodiscard]] int fieldCount() const { return static_cast<int>(fields_.size()); }
    [[nodiscard]] Field field(int index) const;
    // Case-insensitive; throws SqlError for an unknown field.
    [[nodiscard]] Field fieldByName(QStringView name) const;
    [[nodiscard]] std::optional<Field> findField(QStringView name) const;
    [[nodiscard]] int fieldIndex(QStringView name) const;  // -1 when absent

    // The whole result as a data packet, fields in the order above (empty packet when closed).
    [[nodiscard]] DataPacket toPacket() const;

  private:
    friend class Field;
    [[nodiscard]] const QVariant& cell(int field) const;
    FieldInfo* declared(const QString& name);

    QString connectionName_;
    QString sql_;
    PositionalSql parsed_;
    std::vector<Param> params_;
    std::vector<FieldInfo> declared_;
    std::vector<FieldInfo> fields_;
    std::vector<std::vector<QVariant>> rows_;
    int current_ = 0;
    bool open_ = false;
};

}  // namespace ctb::sql

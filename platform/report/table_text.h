#pragma once

// Tables as text for other programs: tab-separated text for the clipboard, and CSV files that a
// spreadsheet in a Brazilian locale opens as they are (semicolons, decimal comma, dd/mm/yyyy, UTF-8
// with a byte-order mark, fields quoted as RFC 4180 says). Qt Core only.

#include "platform/export.h"

#include <QString>

#include <vector>

class QDate;
class QIODevice;

namespace ctb::report {

// Rows of cells joined by tabs and line ends, as spreadsheets paste them; a cell holding a tab, a
// line break or a quote is quoted (quotes doubled).
[[nodiscard]] CTB_PLATFORM_EXPORT QString tabSeparated(const std::vector<std::vector<QString>>& rows);

// One record of a delimited text: its cells as written, and the 1-based line where it begins.
struct CTB_PLATFORM_EXPORT DelimitedRecord {
    int line = 0;
    std::vector<QString> cells;
};

// The reverse of tabSeparated (and of a CSV file with `separator` ';'): records end at CRLF, LF or
// CR; a cell that begins with a quote runs to the next lone quote, holding separators, line breaks
// and doubled quotes as text (what follows the closing quote up to the separator is kept too); a
// quote inside an unquoted cell is text. A text that ends with a line end has no empty record after
// it. Never fails: an unclosed quote runs to the end of the text.
[[nodiscard]] CTB_PLATFORM_EXPORT std::vector<DelimitedRecord> readDelimited(const QString& text,
                                                                             QChar separator);

// Writes CSV rows to a device as they come (nothing is held but one buffer): `;` between fields,
// CRLF after each record, a field with `;`, `"`, CR or LF quoted with its quotes doubled.
class CTB_PLATFORM_EXPORT CsvWriter {
  public:
    // Starts the file with the UTF-8 byte-order mark.
    explicit CsvWriter(QIODevice& device);
    ~CsvWriter();
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    void text(const QString& value);
    // Decimal comma, no thousands separator, `decimals` places ("-1234,50").
    void number(double value, int decimals = 2);
    void integer(qint64 value);
    // dd/mm/yyyy; an invalid date is an empty field.
    void date(const QDate& value);
    void empty();
    void endRow();
    // Writes what is buffered; false when the device refused some of it.
    [[nodiscard]] bool finish();

  private:
    void separate();
    void raw(const QByteArray& bytes);
    void flushIfFull();

    QIODevice& device_;
    QByteArray buffer_;
    bool rowStarted_ = false;
    bool failed_ = false;
};

// The CSV form of one text field (quoted when it needs to be).
[[nodiscard]] CTB_PLATFORM_EXPORT QString csvField(const QString& value);

}  // namespace ctb::report

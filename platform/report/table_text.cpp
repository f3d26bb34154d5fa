#include "platform/report/table_text.h"

#include <QDate>
#include <QIODevice>

#include <cmath>

namespace ctb::report {

namespace {

constexpr qsizetype kFlushBytes = 64 * 1024;

bool needsQuotes(const QString& value, QChar separator) {
    for (QChar c : value) {
        if (c == separator || c == u'"' || c == u'\n' || c == u'\r') {
            return true;
        }
    }
    return false;
}

QString quoted(const QString& value) {
    QString out;
    out.reserve(value.size() + 2);
    out += u'"';
    for (QChar c : value) {
        if (c == u'"') {
            out += u'"';
        }
        out += c;
    }
    out += u'"';
    return out;
}

}  // namespace

QString tabSeparated(const std::vector<std::vector<QString>>& rows) {
    QString out;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) {
                out += u'\t';
            }
            out += needsQuotes(row[i], u'\t') ? quoted(row[i]) : row[i];
        }
        out += u'\n';
    }
    return out;
}

std::vector<DelimitedRecord> readDelimited(const QString& text, QChar separator) {
    std::vector<DelimitedRecord> records;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    // A line end at i (CRLF, LF or CR): its length, 0 when there is none.
    auto lineEnd = [&text, n](qsizetype at) -> qsizetype {
        if (at >= n)
            return 0;
        if (text[at] == u'\r')
            return at + 1 < n && text[at + 1] == u'\n' ? 2 : 1;
        return text[at] == u'\n' ? 1 : 0;
    };
    while (i < n) {
        DelimitedRecord record;
        record.line = line;
        for (;;) {
            QString cell;
            if (text[i] == u'"') {
                ++i;
                while (i < n) {
                    if (text[i] == u'"') {
                        if (i + 1 < n && text[i + 1] == u'"') {
                            cell += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (const qsizetype end = lineEnd(i); end > 0) {
                        ++line;
                        cell += text.mid(i, end);
                        i += end;
                        continue;
                    }
                    cell += text[i++];
                }
            }
            while (i < n && text[i] != separator && lineEnd(i) == 0)
                cell += text[i++];
            record.cells.push_back(std::move(cell));
            if (i < n && text[i] == separator) {
                ++i;
                if (i < n)
                    continue;
                record.cells.emplace_back();  // a separator at the very end opens one more, empty cell
            }
            break;
        }
        if (const qsizetype end = lineEnd(i); end > 0) {
            i += end;
            ++line;
        }
        records.push_back(std::move(record));
    }
    return records;
}

QString csvField(const QString& value) {
    return needsQuotes(value, u';') ? quoted(value) : value;
}

CsvWriter::CsvWriter(QIODevice& device) : device_(device) {
    buffer_.reserve(kFlushBytes + 4096);
    buffer_.append("\xEF\xBB\xBF");
}

CsvWriter::~CsvWriter() {
    static_cast<void>(finish());
}

void CsvWriter::separate() {
    if (rowStarted_) {
        buffer_.append(';');
    }
    rowStarted_ = true;
}

void CsvWriter::raw(const QByteArray& bytes) {
    buffer_.append(bytes);
}

void CsvWriter::text(const QString& value) {
    separate();
    raw(csvField(value).toUtf8());
}

void CsvWriter::number(double value, int decimals) {
    separate();
    if (!std::isfinite(value)) {
        return;
    }
    QByteArray digits = QByteArray::number(value, 'f', decimals);
    if (digits.startsWith("-") && digits.count('0') == digits.size() - 1 - (decimals > 0 ? 1 : 0)) {
        digits.remove(0, 1);  // no "-0,00"
    }
    digits.replace('.', ',');
    raw(digits);
}

void CsvWriter::integer(qint64 value) {
    separate();
    raw(QByteArray::number(value));
}

void CsvWriter::date(const QDate& value) {
    separate();
    if (value.isValid()) {
        raw(value.toString(QStringLiteral("dd/MM/yyyy")).toLatin1());
    }
}

void CsvWriter::empty() {
    separate();
}

void CsvWriter::endRow() {
    buffer_.append("\r\n");
    rowStarted_ = false;
    flushIfFull();
}

void CsvWriter::flushIfFull() {
    if (buffer_.size() >= kFlushBytes) {
        static_cast<void>(finish());
    }
}

bool CsvWriter::finish() {
    if (!buffer_.isEmpty()) {
        if (device_.write(buffer_) != buffer_.size()) {
            failed_ = true;
        }
        buffer_.clear();
    }
    return !failed_;
}

}  // namespace ctb::report

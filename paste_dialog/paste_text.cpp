#include "paste_dialog/paste_text.h"

#include "platform/report/table_text.h"

namespace ctb::ctb10000 {
namespace {

// Up to 999.999.999.999,99, what the books store.
constexpr int kMaxIntegerDigits = 13;

bool allDigits(QStringView s) {
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// "1.234.567" or "1,234,567": groups of three after a first group of one to three digits.
bool groupedDigits(QStringView s, QChar mark) {
    const QList<QStringView> groups = s.split(mark);
    if (groups.size() < 2 || groups.front().size() > 3 || !allDigits(groups.front()))
        return false;
    for (qsizetype g = 1; g < groups.size(); ++g)
        if (groups[g].size() != 3 || !allDigits(groups[g]))
            return false;
    return true;
}

// The integer part without its thousands marks, or an empty text when it is not a number.
QString integerPart(QStringView s, QChar thousands) {
    if (allDigits(s))
        return s.toString();
    if (groupedDigits(s, thousands))
        return s.toString().remove(thousands);
    return {};
}

bool hasDigit(const QString& s) {
    for (QChar c : s)
        if (c.isDigit())
            return true;
    return false;
}

QString cell(const std::vector<QString>& cells, std::size_t index) {
    return index < cells.size() ? cells[index].trimmed() : QString();
}

bool blank(const std::vector<QString>& cells) {
    for (const QString& c : cells)
        if (!c.trimmed().isEmpty())
            return false;
    return true;
}

}  // namespace

std::optional<double> parsePastedValue(const QString& text) {
    QString s;
    for (QChar c : text)
        if (!c.isSpace())  // also the no-break space spreadsheets put after "R$"
            s += c;
    if (s.startsWith(QStringLiteral("R$"), Qt::CaseInsensitive))
        s = s.mid(2);
    bool negative = false;
    if (s.size() >= 2 && s.front() == u'(' && s.back() == u')') {
        negative = true;
        s = s.mid(1, s.size() - 2);
    }
    if (s.startsWith(u'-') || s.startsWith(u'+')) {
        negative = negative || s.front() == u'-';
        s = s.mid(1);
    } else if (s.endsWith(u'-')) {
        negative = true;
        s.chop(1);
    }
    if (s.startsWith(QStringLiteral("R$"), Qt::CaseInsensitive))
        s = s.mid(2);
    if (s.isEmpty())
        return std::nullopt;
    const qsizetype comma = s.lastIndexOf(u','), dot = s.lastIndexOf(u'.');
    QString integer, fraction;
    if (comma >= 0 && dot >= 0) {
        // Both marks: the last one is the decimal mark, the other one groups thousands.
        const qsizetype decimal = std::max(comma, dot);
        const QChar thousands = decimal == comma ? u'.' : u',';
        integer = integerPart(QStringView(s).left(decimal), thousands);
        fraction = s.mid(decimal + 1);
        if (integer.isEmpty() || !allDigits(fraction))
            return std::nullopt;
    } else if (comma >= 0 || dot >= 0) {
        const QChar mark = comma >= 0 ? u',' : u'.';
        const qsizetype first = s.indexOf(mark);
        if (first != s.lastIndexOf(mark)) {
            // Several of one mark: thousands only ("1.234.567").
            integer = integerPart(s, mark);
            if (integer.isEmpty())
                return std::nullopt;
        } else if (mark == u'.' && s.size() - first - 1 == 3 && groupedDigits(s, mark) && s.front() != u'0') {
            integer = s.remove(mark);  // "1.234" as a Brazilian spreadsheet shows 1234
        } else {
            integer = s.left(first);
            fraction = s.mid(first + 1);
            if (integer.isEmpty() && fraction.isEmpty())
                return std::nullopt;
            if (integer.isEmpty())
                integer = QStringLiteral("0");
            if (!allDigits(integer) || (!fraction.isEmpty() && !allDigits(fraction)))
                return std::nullopt;
        }
    } else {
        if (!allDigits(s))
            return std::nullopt;
        integer = s;
    }
    while (integer.size() > 1 && integer.front() == u'0')
        integer.remove(0, 1);
    if (integer.size() > kMaxIntegerDigits)
        return std::nullopt;
    bool ok = false;
    const double value =
        (integer + (fraction.isEmpty() ? QString() : QStringLiteral(".") + fraction)).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return negative ? -value : value;
}

PastedText parsePastedText(const QString& input) {
    PastedText out;
    QString text = input;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (!text.contains(u'\t') && text.contains(u';'))
        out.separator = u';';
    bool first = true;
    for (const report::DelimitedRecord& record : report::readDelimited(text, out.separator)) {
        if (blank(record.cells))
            continue;
        PastedRow row;
        row.line = record.line;
        row.account = cell(record.cells, 0);
        row.valueText = cell(record.cells, 1);
        row.value = parsePastedValue(row.valueText);
        row.history = cell(record.cells, 2);
        row.historyText = cell(record.cells, 3);
        row.commercial = cell(record.cells, 4);
        if (first) {
            first = false;
            if (!hasDigit(row.account) && !row.value) {
                out.headerSkipped = true;
                continue;
            }
        }
        QString source = report::tabSeparated(
            {{row.account, row.valueText, row.history, row.historyText, row.commercial}});
        source.chop(1);  // the line end
        while (source.endsWith(u'\t'))
            source.chop(1);
        row.source = source;
        out.rows.push_back(std::move(row));
    }
    return out;
}

}  // namespace ctb::ctb10000

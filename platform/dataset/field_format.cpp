#include "platform/dataset/field_format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ctb::format {

std::size_t utf8PrefixBytes(std::string_view utf8, int maxChars) {
    if (maxChars <= 0)
        return 0;
    if (utf8.size() <= static_cast<std::size_t>(maxChars))
        return utf8.size();  // bytes >= code points
    int chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if ((c & 0xC0) == 0x80)
            continue;  // continuation byte
        if (chars == maxChars)
            return i;
        ++chars;
    }
    return utf8.size();
}

std::size_t utf8Length(std::string_view utf8) {
    std::size_t n = 0;
    for (const char ch : utf8)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80)
            ++n;
    return n;
}

// Plain arithmetic on the Julian day: going through a local QDateTime would consult the time zone
// database on every cell.
constexpr std::int64_t kMsecsPerDay = 86400000;
constexpr qint64 kJulianDay1970 = 2440588;

std::int64_t toNaiveMsecs(QDate date, QTime time) {
    return (date.toJulianDay() - kJulianDay1970) * kMsecsPerDay +
           (time.isValid() ? time.msecsSinceStartOfDay() : 0);
}

std::int64_t toNaiveMsecs(const QDateTime& value) {
    return toNaiveMsecs(value.date(), value.time());
}

QDate naiveDate(std::int64_t msecs) {
    std::int64_t days = msecs / kMsecsPerDay;
    if (msecs % kMsecsPerDay < 0)
        --days;
    return QDate::fromJulianDay(days + kJulianDay1970);
}

QTime naiveTime(std::int64_t msecs) {
    std::int64_t rem = msecs % kMsecsPerDay;
    if (rem < 0)
        rem += kMsecsPerDay;
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(rem));
}

QDateTime fromNaiveMsecs(std::int64_t msecs) {
    return QDateTime(naiveDate(msecs), naiveTime(msecs));
}

namespace {

QString shortDateFormat(const QLocale& locale) {
    QString f = locale.dateFormat(QLocale::ShortFormat);
    if (!f.contains(QStringLiteral("yyyy")))
        f.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return f;
}

// Fifteen significant digits, as accountants expect 0.1 + 0.2 to read 0,3.
double roundSignificant(double value) {
    std::array<char, 40> buf{};
    std::snprintf(buf.data(), buf.size(), "%.15g", value);
    return std::strtod(buf.data(), nullptr);
}

}  // namespace

QString numberText(double value, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return plain.toString(roundSignificant(value), 'f', QLocale::FloatingPointShortest);
}

QString dateTimeText(std::int64_t msecs, const QLocale& locale) {
    QString text = locale.toString(naiveDate(msecs), shortDateFormat(locale));
    const QTime time = naiveTime(msecs);
    if (time != QTime(0, 0))
        text += QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
    return text;
}

QString cellText(const Row& row, int index, FieldType type, const QLocale& locale) {
    switch (row.kind(index)) {
        case CellKind::Null:
            return {};
        case CellKind::Text:
            return row.text(index);
        case CellKind::Number:
            return numberText(row.number(index), locale);
        case CellKind::Integer:
            if (type == FieldType::Float)
                return numberText(row.number(index), locale);
            return QString::number(row.integer(index));
        case CellKind::DateTime:
            return dateTimeText(row.msecs(index), locale);
    }
    return {};
}

std::optional<double> parseNumber(QStringView text, const QLocale& locale) {
    const QStringView t = text.trimmed();
    bool ok = false;
    double v = locale.toDouble(t, &ok);
    if (!ok)
        v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<std::int64_t> parseInteger(QStringView text, const QLocale& locale) {
    const QStringView t = text.trimmed();
    bool ok = false;
    qlonglong v = locale.toLongLong(t, &ok);
    if (!ok)
        v = QLocale::c().toLongLong(t, &ok);
    if (!ok)
        return std::nullopt;
    return static_cast<std::int64_t>(v);
}

std::optional<std::int64_t> parseDateTime(QStringView text, const QLocale& locale) {
    const QString t = text.trimmed().toString();
    const QString shortFmt = shortDateFormat(locale);
    const auto date = [&](const QString& part) -> QDate {
        for (const QString& f : {shortFmt, QStringLiteral("dd/MM/yyyy"), QStringLiteral("d/M/yyyy"),
                                 QStringLiteral("yyyy-MM-dd")}) {
            const QDate d = QDate::fromString(part, f);
            if (d.isValid())
                return d;
        }
        return {};
    };
    qsizetype split = t.indexOf(QLatin1Char('T'));
    if (split < 0)
        split = t.indexOf(QLatin1Char(' '));
    if (split < 0) {
        const QDate d = date(t);
        if (!d.isValid())
            return std::nullopt;
        return toNaiveMsecs(d, QTime(0, 0));
    }
    const QDate d = date(t.left(split));
    const QString timePart = t.mid(split + 1).trimmed();
    QTime time;
    for (const QString& f :
         {QStringLiteral("HH:mm:ss"), QStringLiteral("HH:mm"), QStringLiteral("HH:mm:ss.zzz")}) {
        time = QTime::fromString(timePart, f);
        if (time.isValid())
            break;
    }
    if (!d.isValid() || !time.isValid())
        return std::nullopt;
    return toNaiveMsecs(d, time);
}

namespace {

struct NumberPicture {
    QString prefix;
    QString suffix;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
    bool grouping = false;
};

// Splits a pattern into its ';' sections, honouring quoted literals.
std::vector<QString> sections(QStringView pattern) {
    std::vector<QString> out(1);
    QChar quote;
    for (const QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out.back() += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            out.back() += c;
        } else if (c == u';') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

NumberPicture parsePicture(QStringView section) {
    NumberPicture p;
    bool inDigits = false;
    bool afterDigits = false;
    bool inDecimals = false;
    QChar quote;
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            } else {
                (afterDigits || inDigits ? p.suffix : p.prefix) += c;
            }
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            if (inDigits)
                afterDigits = true;
            continue;
        }
        const bool digit = c == u'0' || c == u'#';
        const bool structural = digit || c == u',' || c == u'.';
        if (structural && !afterDigits) {
            inDigits = true;
            if (c == u'.') {
                inDecimals = true;
            } else if (c == u',') {
                if (!inDecimals)
                    p.grouping = true;
            } else if (inDecimals) {
                ++p.maxDec;
                if (c == u'0')
                    p.minDec = p.maxDec;
            } else if (c == u'0') {
                ++p.minInt;
            }
            continue;
        }
        if (inDigits)
            afterDigits = true;
        (afterDigits ? p.suffix : p.prefix) += c;
    }
    return p;
}

QString layout(double absValue, const NumberPicture& p, const QLocale& locale) {
    std::array<char, 400> buf{};
    std::snprintf(buf.data(), buf.size(), "%.*f", std::min(p.maxDec, 30), absValue);
    const std::string_view all(buf.data());
    const auto dot = all.find('.');
    std::string_view intPart = all.substr(0, dot);
    std::string_view decPart = dot == std::string_view::npos ? std::string_view{} : all.substr(dot + 1);
    while (!decPart.empty() && static_cast<int>(decPart.size()) > p.minDec && decPart.back() == '0')
        decPart.remove_suffix(1);
    while (intPart.size() > 1 && intPart.front() == '0')
        intPart.remove_prefix(1);
    QString digits = QString::fromLatin1(intPart.data(), static_cast<qsizetype>(intPart.size()));
    if (digits == QLatin1String("0") && p.minInt == 0)
        digits.clear();
    while (digits.size() < p.minInt)
        digits.prepend(QLatin1Char('0'));
    const QString zero = locale.zeroDigit();
    if (zero != QLatin1String("0"))
        for (QChar& c : digits)
            c = QChar(zero.at(0).unicode() + (c.unicode() - u'0'));
    if (p.grouping && digits.size() > 3) {
        QString grouped;
        const qsizetype n = digits.size();
        for (qsizetype i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                grouped += locale.groupSeparator();
            grouped += digits.at(i);
        }
        digits = grouped;
    }
    QString text = p.prefix + digits;
    if (!decPart.empty()) {
        text += locale.decimalPoint();
        text += QString::fromLatin1(decPart.data(), static_cast<qsizetype>(decPart.size()));
    }
    return text + p.suffix;
}

}  // namespace

QString formatNumber(double value, QStringView pattern, const QLocale& locale) {
    if (!std::isfinite(value))
        return numberText(value, locale);
    const std::vector<QString> secs = sections(pattern);
    const NumberPicture positive = parsePicture(secs[0]);
    // Which section applies depends on the value as it will be shown (rounded to the picture).
    const double rounded = std::round(std::fabs(value) * std::pow(10.0, positive.maxDec));
    const bool zero = rounded == 0.0;
    if (zero && secs.size() >= 3 && !secs[2].isEmpty())
        return layout(0.0, parsePicture(secs[2]), locale);
    if (value < 0 && !zero) {
        if (secs.size() >= 2 && !secs[1].isEmpty())
            return layout(-value, parsePicture(secs[1]), locale);
        return locale.negativeSign() + layout(-value, positive, locale);
    }
    return layout(std::fabs(value), positive, locale);
}

}  // namespace ctb::format

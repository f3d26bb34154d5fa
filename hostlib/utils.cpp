#include "hostlib/utils.h"

#include <QStringList>

#include <charconv>
#include <cmath>
#include <string>

namespace ctb::hostlib {

bool EmptyString(const QString& text) {
    static const QString literals = QStringLiteral("./-_:,()");
    for (QChar c : text)
        if (!c.isSpace() && !literals.contains(c))
            return false;
    return true;
}

QString Ajusta(const QString& code, int width) {
    const QString t = code.trimmed();
    if (t.isEmpty())
        return {};
    for (QChar c : t)
        if (!c.isDigit())
            return t;
    if (t.size() >= width)
        return t;
    return QString(width - t.size(), u'0') + t;
}

double RoundDec(double value, int decimals) {
    if (!std::isfinite(value) || decimals < 0 || decimals > 15)
        return value;
    // The shortest text that reads back as this double is the decimal value the user meant.
    char buf[512];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (res.ec != std::errc())
        return value;
    std::string s(buf, res.ptr);
    bool negative = false;
    if (!s.empty() && s[0] == '-') {
        negative = true;
        s.erase(0, 1);
    }
    const auto dot = s.find('.');
    std::string intPart = dot == std::string::npos ? s : s.substr(0, dot);
    std::string frac = dot == std::string::npos ? std::string() : s.substr(dot + 1);
    const auto d = static_cast<std::size_t>(decimals);
    bool roundUp = frac.size() > d && frac[d] >= '5';
    frac = frac.substr(0, std::min(frac.size(), d));
    frac.append(d - frac.size(), '0');
    std::string digits = intPart + frac;
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[static_cast<std::size_t>(i)] == '9') {
                digits[static_cast<std::size_t>(i)] = '0';
            } else {
                ++digits[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (i < 0)
            digits.insert(digits.begin(), '1');
    }
    // Appended in place: `"." + digits.substr(...)` trips GCC 12's -Wrestrict at -O3 (a false report).
    std::string out = digits.substr(0, digits.size() - d);
    if (d > 0) {
        out.push_back('.');
        out.append(digits, digits.size() - d, d);
    }
    double result = 0.0;
    std::from_chars(out.data(), out.data() + out.size(), result);
    if (result == 0.0)
        return 0.0;  // no negative zero
    return negative ? -result : result;
}

QString Replicate(const QString& text, int count) {
    return count <= 0 ? QString() : text.repeated(count);
}

QString PictPess(const QString& kind) {
    const QString k = kind.trimmed().toUpper();
    if (k == u"F")
        return QStringLiteral("999.999.999-99;0;_");
    if (k == u"J")
        return QStringLiteral("99.999.999/9999-99;0;_");
    return {};
}

QString DBPictFor(const QString& accountPicture, int pictureType) {
    if (pictureType != ptContCtbl)
        return {};
    const QString picture =
        accountPicture.isEmpty() ? QString::fromLatin1(kDefaultAccountPicture) : accountPicture;
    return picture + QStringLiteral(";1; ");
}

std::optional<QString> normaliseAccount(const QString& code, const QString& accountPicture) {
    const QString picture =
        accountPicture.isEmpty() ? QString::fromLatin1(kDefaultAccountPicture) : accountPicture;
    const QStringList pictureGroups = picture.split(u'.');
    QString t = code;
    t.remove(u' ');
    while (t.endsWith(u'.'))
        t.chop(1);
    if (t.isEmpty())
        return QString();
    QStringList groups;
    if (!t.contains(u'.')) {
        qsizetype pos = 0;
        for (const QString& g : pictureGroups) {
            if (pos >= t.size())
                break;
            groups << t.mid(pos, g.size());
            pos += g.size();
        }
        if (pos != t.size())
            return std::nullopt;  // more digits than the picture holds, or a partial group
        if (groups.size() > 1 && groups.back().size() != pictureGroups[groups.size() - 1].size())
            return std::nullopt;
    } else {
        groups = t.split(u'.');
    }
    if (groups.size() > pictureGroups.size())
        return std::nullopt;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        QString& g = groups[i];
        if (g.isEmpty() || g.size() > pictureGroups[i].size())
            return std::nullopt;
        for (QChar c : g)
            if (!c.isDigit())
                return std::nullopt;
        g = QString(pictureGroups[i].size() - g.size(), u'0') + g;
    }
    return groups.join(u'.');
}

}  // namespace ctb::hostlib

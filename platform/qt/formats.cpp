#include "platform/qt/formats.h"

#include <cmath>

namespace ctb::qt {

QLocale displayLocale() {
    return QLocale(QLocale::Portuguese, QLocale::Brazil);
}

QString formatMoney(double value, const QLocale& locale) {
    // Avoid "-0,00" for values that round to zero.
    if (std::fabs(value) < 0.005) {
        value = 0.0;
    }
    return locale.toString(value, 'f', 2);
}

std::optional<double> parseMoney(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    bool ok = false;
    double value = locale.toDouble(trimmed, &ok);
    if (ok) {
        return value;
    }
    // Without grouping separators at the right places the locale refuses "12.34,5"; drop them.
    QString plain = trimmed;
    plain.remove(locale.groupSeparator());
    value = locale.toDouble(plain, &ok);
    if (ok) {
        return value;
    }
    return std::nullopt;
}

QString qtInputMask(const QString& screenMask) {
    if (screenMask.isEmpty()) {
        return {};
    }
    const QStringList parts = screenMask.split(QLatin1Char(';'));
    const QString body = parts.value(0);
    QString blank = parts.size() >= 3 ? parts.value(2) : QString();
    QString out;
    for (int i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        switch (c.unicode()) {
            case '0':
                out += QLatin1Char('9');
                break;
            case '9':
                out += QLatin1Char('0');
                break;
            case 'L':
                out += QLatin1Char('A');
                break;
            case 'l':
                out += QLatin1Char('a');
                break;
            case 'A':
                out += QLatin1Char('N');
                break;
            case 'a':
                out += QLatin1Char('n');
                break;
            case 'C':
                out += QLatin1Char('X');
                break;
            case 'c':
                out += QLatin1Char('x');
                break;
            case '#':
                out += QLatin1Char('#');
                break;
            case '!':  // trimming is the model's business
                break;
            case '>':
            case '<':
                out += c;
                break;
            case '\\':
                out += c;
                if (i + 1 < body.size()) {
                    out += body[++i];
                }
                break;
            default:
                // Literals that Qt would read as mask characters need escaping.
                if (QStringLiteral("AaNnXx90Dd#HhBb><!{}[]").contains(c)) {
                    out += QLatin1Char('\\');
                }
                out += c;
                break;
        }
    }
    if (blank.isEmpty()) {
        blank = QStringLiteral(" ");
    }
    return out + QLatin1Char(';') + blank.left(1);
}

}  // namespace ctb::qt

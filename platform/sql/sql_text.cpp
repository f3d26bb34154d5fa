#include "platform/sql/sql_text.h"

namespace ctb::sql {
namespace {

bool isNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

}  // namespace

PositionalSql toPositional(const QString& sql) {
    PositionalSql out;
    out.text.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto copyUntilClosing = [&](QChar quote) {
        // Copies a quoted run; a doubled quote inside it is an escaped quote.
        out.text += sql.at(i++);
        while (i < n) {
            const QChar c = sql.at(i++);
            out.text += c;
            if (c == quote) {
                if (i < n && sql.at(i) == quote) {
                    out.text += sql.at(i++);
                    continue;
                }
                return;
            }
        }
    };
    while (i < n) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c == u'\'' || c == u'"') {
            copyUntilClosing(c);
        } else if (c == u'-' && next == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            const qsizetype stop = end < 0 ? n : end;
            out.text += sql.mid(i, stop - i);
            i = stop;
        } else if (c == u'/' && next == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            out.text += sql.mid(i, stop - i);
            i = stop;
        } else if (c == u':' && next == u':') {
            out.text += QStringLiteral("::");
            i += 2;
        } else if (c == u':' && isNameStart(next) && (i == 0 || !isNameChar(sql.at(i - 1)))) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1).toUpper();
            out.occurrences << name;
            if (!out.names.contains(name))
                out.names << name;
            out.text += u'?';
            i = j;
        } else {
            out.text += c;
            ++i;
        }
    }
    return out;
}

}  // namespace ctb::sql

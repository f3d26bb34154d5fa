#include "server/key_list.h"

namespace ctb::server {

std::optional<QStringList> parseKeyList(const QString& text) {
    QStringList keys;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && text[i].isSpace())
            ++i;
    };
    skipBlanks();
    if (i == n)
        return std::nullopt;
    for (;;) {
        skipBlanks();
        if (i >= n || text[i] != u'\'')
            return std::nullopt;
        ++i;
        QString key;
        bool closed = false;
        while (i < n) {
            if (text[i] == u'\'') {
                if (i + 1 < n && text[i + 1] == u'\'') {
                    key += u'\'';
                    i += 2;
                    continue;
                }
                ++i;
                closed = true;
                break;
            }
            key += text[i++];
        }
        if (!closed)
            return std::nullopt;
        keys << key;
        skipBlanks();
        if (i == n)
            return keys;
        if (text[i] != u',')
            return std::nullopt;
        ++i;
    }
}

}  // namespace ctb::server

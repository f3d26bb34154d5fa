#include "tools/uiscript/script.h"

namespace ctb::uiscript {

ScriptError::ScriptError(int line, const QString& message)
    : std::runtime_error(QStringLiteral("linha %1: %2").arg(line).arg(message).toStdString()),
      line_(line),
      message_(message) {}

std::vector<Command> parseScript(const QString& text) {
    std::vector<Command> out;
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString& raw = lines[n];
        Command cmd;
        cmd.line = static_cast<int>(n + 1);
        cmd.source = raw.trimmed();
        QStringList words;
        qsizetype i = 0;
        while (i < raw.size()) {
            const QChar c = raw[i];
            if (c.isSpace() || c == u',') {
                ++i;
                continue;
            }
            if (c == u'#')
                break;
            if (c == u'"') {
                QString word;
                ++i;
                bool closed = false;
                while (i < raw.size()) {
                    if (raw[i] == u'"') {
                        if (i + 1 < raw.size() && raw[i + 1] == u'"') {
                            word += u'"';
                            i += 2;
                            continue;
                        }
                        closed = true;
                        ++i;
                        break;
                    }
                    word += raw[i++];
                }
                if (!closed)
                    throw ScriptError(cmd.line, QStringLiteral("texto sem aspas de fechamento"));
                words << word;
                continue;
            }
            QString word;
            while (i < raw.size() && !raw[i].isSpace() && raw[i] != u'"')
                word += raw[i++];
            words << word;
        }
        if (words.isEmpty())
            continue;
        cmd.verb = words.takeFirst().toLower();
        cmd.args = words;
        out.push_back(std::move(cmd));
    }
    return out;
}

}  // namespace ctb::uiscript

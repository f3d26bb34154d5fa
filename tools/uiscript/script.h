#pragma once

// UI scripts: one command a line, '#' starts a comment, texts in double quotes.

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace ctb::uiscript {

struct Command {
    int line = 0;      // 1-based line in the script
    QString verb;      // first word
    QStringList args;  // further words and quoted texts (quotes removed, "" inside a text is a quote)
    QString source;    // the line as written
};

// A script that cannot run or an expectation that failed; the text names the line.
class ScriptError : public std::runtime_error {
  public:
    ScriptError(int line, const QString& message);
    [[nodiscard]] int line() const { return line_; }
    [[nodiscard]] const QString& message() const { return message_; }

  private:
    int line_;
    QString message_;
};

// Splits a script into commands; throws ScriptError for an unterminated text.
[[nodiscard]] std::vector<Command> parseScript(const QString& text);

}  // namespace ctb::uiscript

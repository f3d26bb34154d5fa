#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ctb::server {

// Parses a multi-select list as the lookup dialog builds it: keys in single quotes separated by
// commas, a quote inside a key doubled ('0001','O''Brien'). Blanks around the commas are allowed.
// Anything else (an unquoted key, text after a closing quote, an unterminated quote, an empty list)
// gives nullopt: the caller refuses the request instead of guessing.
[[nodiscard]] std::optional<QStringList> parseKeyList(const QString& text);

}  // namespace ctb::server

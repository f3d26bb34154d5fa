#pragma once

// Helpers shared by the wire encoder and decoder; not part of the public API.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ctb::wire::detail {

// Number of Unicode characters in s, or -1 when s is not valid UTF-8 (overlong forms and encoded
// surrogates are invalid too).
[[nodiscard]] std::int64_t utf8Length(std::string_view s);

// Shortest text that reads back as the same double; -0.0 keeps its sign ("-0.0"). d must be finite.
void appendDouble(std::string& out, double d);
void appendInteger(std::string& out, std::int64_t i);

// False (and nothing appended) when the year falls outside 0001..9999.
[[nodiscard]] bool appendDateTime(std::string& out, std::int64_t msecs);

// JSON string with escapes; false (and out unchanged) when s is not valid UTF-8. charCount gets the
// number of characters when not null.
[[nodiscard]] bool appendJsonString(std::string& out, std::string_view s, std::int64_t* charCount = nullptr);

[[nodiscard]] std::string quoteForMessage(std::string_view s);  // a short quoted excerpt for messages

}  // namespace ctb::wire::detail

#pragma once

// Helpers shared by the wire encoder and decoder; not part of the public API.

#include "platform/export.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ctb::wire::detail {

// Number of Unicode characters in s, or -1 when s is not valid UTF-8 (overlong forms and encoded
// surrogates are invalid too).
[[nodiscard]] CTB_PLATFORM_EXPORT std::int64_t utf8Length(std::string_view s);

// Shortest text that reads back as the same double; -0.0 keeps its sign ("-0.0"). d must be finite.
CTB_PLATFORM_EXPORT void appendDouble(std::string& out, double d);
CTB_PLATFORM_EXPORT void appendInteger(std::string& out, std::int64_t i);

// False (and nothing appended) when the year falls outside 0001..9999.
[[nodiscard]] CTB_PLATFORM_EXPORT bool appendDateTime(std::string& out, std::int64_t msecs);

// JSON string with escapes; false (and out unchanged) when s is not valid UTF-8. charCount gets the
// number of characters when not null.
[[nodiscard]] CTB_PLATFORM_EXPORT bool appendJsonString(std::string& out, std::string_view s,
                                                        std::int64_t* charCount = nullptr);

[[nodiscard]] CTB_PLATFORM_EXPORT std::string quoteForMessage(
    std::string_view s);  // a short quoted excerpt for messages

}  // namespace ctb::wire::detail

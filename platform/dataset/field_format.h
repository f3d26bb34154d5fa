#pragma once

// Conversions between stored cells and texts, shared by fields, filters and locate.

#include "platform/dataset/packet.h"
#include "platform/export.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <string_view>

namespace ctb::format {

// Bytes taken by the first maxChars code points of a UTF-8 text (all of it when shorter).
[[nodiscard]] CTB_PLATFORM_EXPORT std::size_t utf8PrefixBytes(std::string_view utf8, int maxChars);
// Code points in a UTF-8 text.
[[nodiscard]] CTB_PLATFORM_EXPORT std::size_t utf8Length(std::string_view utf8);

// Date-times are stored as wall-clock milliseconds since 1970 with no time zone.
[[nodiscard]] CTB_PLATFORM_EXPORT std::int64_t toNaiveMsecs(const QDateTime& value);
[[nodiscard]] CTB_PLATFORM_EXPORT std::int64_t toNaiveMsecs(QDate date, QTime time);
[[nodiscard]] CTB_PLATFORM_EXPORT QDate naiveDate(std::int64_t msecs);
[[nodiscard]] CTB_PLATFORM_EXPORT QTime naiveTime(std::int64_t msecs);
[[nodiscard]] CTB_PLATFORM_EXPORT QDateTime fromNaiveMsecs(std::int64_t msecs);

// The text of a cell as the field reads it (Field::asString): decimals with the locale's separator
// and no grouping, dates as the locale's short date with a four-digit year (plus time when not 0h).
[[nodiscard]] CTB_PLATFORM_EXPORT QString cellText(const Row& row, int index, FieldType type,
                                                   const QLocale& locale);
[[nodiscard]] CTB_PLATFORM_EXPORT QString numberText(double value, const QLocale& locale);
[[nodiscard]] CTB_PLATFORM_EXPORT QString dateTimeText(std::int64_t msecs, const QLocale& locale);

// Read typed text with the locale first, then in plain C/ISO form; nullopt when unreadable.
// Callers treat blank text as null before calling these.
[[nodiscard]] CTB_PLATFORM_EXPORT std::optional<double> parseNumber(QStringView text, const QLocale& locale);
[[nodiscard]] CTB_PLATFORM_EXPORT std::optional<std::int64_t> parseInteger(QStringView text,
                                                                           const QLocale& locale);
[[nodiscard]] CTB_PLATFORM_EXPORT std::optional<std::int64_t> parseDateTime(QStringView text,
                                                                            const QLocale& locale);

// Number laid out by a picture such as "#,##0.00" (sections "positive;negative;zero", '0' forced
// digit, '#' optional digit, ',' grouping, '.' decimal point, quoted literals), with the locale's
// separators.
[[nodiscard]] CTB_PLATFORM_EXPORT QString formatNumber(double value, QStringView pattern,
                                                       const QLocale& locale);

}  // namespace ctb::format

#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

#include <QString>

namespace ctb::server {

// Amounts are compared and summed in whole cents: a double from the wire is rounded half away from
// zero to the cent once, and never summed as a double.
[[nodiscard]] inline std::optional<std::int64_t> toCents(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e13)
        return std::nullopt;  // NUMERIC(15,2)
    return static_cast<std::int64_t>(std::llround(value * 100.0));
}

[[nodiscard]] inline double fromCents(std::int64_t cents) {
    return static_cast<double>(cents) / 100.0;
}

// The exact decimal, "-12345.67", for a NUMERIC column.
[[nodiscard]] inline QString decimalText(std::int64_t cents) {
    const bool negative = cents < 0;
    const std::uint64_t a =
        negative ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
    return QStringLiteral("%1%2.%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(a / 100)
        .arg(static_cast<int>(a % 100), 2, 10, QLatin1Char('0'));
}

}  // namespace ctb::server

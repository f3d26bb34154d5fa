#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

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

}  // namespace ctb::server

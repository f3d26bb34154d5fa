#pragma once

// Wall-clock helpers of the benchmarks.

#include <algorithm>
#include <chrono>
#include <functional>

namespace ctb::bench {

inline double msSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Best of a few runs, in milliseconds.
inline double bestOf(int runs, const std::function<void()>& f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        best = std::min(best, msSince(t0));
    }
    return best;
}

}  // namespace ctb::bench

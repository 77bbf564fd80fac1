// A small timing harness for the benchmarks. Contenders are timed in turn within each round, so
// that a disturbance of the machine hits them alike, and the median of the rounds is reported.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

namespace bench {

// The wall-clock seconds one call of work() takes.
template <class Work> double secondsOf(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double median(std::vector<double> values) {
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Keeps a result observable, so the compiler cannot drop the work that produced it.
inline void keep(uint64_t value) {
    static volatile uint64_t sink;
    sink = sink ^ value;
}

} // namespace bench

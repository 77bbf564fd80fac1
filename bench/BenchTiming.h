// A small timing harness for the benchmarks. Contenders are timed in turn within each round, so
// that a disturbance of the machine hits them alike, and the median of the rounds is reported.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <vector>

namespace bench {

// The wall-clock seconds one call of work() takes.
template <class Work> double secondsOf(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of the calling thread: the machine may be busy with other work meanwhile.
inline double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The processor seconds one call of work() takes.
template <class Work> double cpuSecondsOf(Work&& work) {
    const double start = threadSeconds();
    work();
    return threadSeconds() - start;
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

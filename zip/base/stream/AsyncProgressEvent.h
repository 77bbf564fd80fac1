// A passive event sink for callers without a callback object: it remembers the
// last percent and answers abort requests that another thread may make.
#pragma once

#include "zip/base/stream/ProgressEvent.h"

#include <atomic>
#include <cstdint>

namespace vexmar {

class AsyncProgressEvent : public ProgressEvent {
public:
    void percentDone(int32_t percent, bool* abort) override;
    void abortCheck(bool* abort) override;

    // Safe to call from any thread while an operation runs.
    void requestAbort() { abortRequested_.store(true); }
    bool abortRequested() const { return abortRequested_.load(); }
    int32_t lastPercent() const { return lastPercent_.load(); }

private:
    std::atomic<bool> abortRequested_{false};
    std::atomic<int32_t> lastPercent_{0};
};

} // namespace vexmar

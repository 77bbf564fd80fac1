// Turns byte counts into percent-done callbacks, gives the event sink regular
// chances to abort (the heartbeat), and carries the abort flag of a run.
#pragma once

#include "zip/base/stream/AsyncProgressEvent.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace vexmar {

class LogBase;
class ProgressEvent;

// Keeps the byte counts of a recording monitor, to be passed on later to the run's own.
class ProgressRecorder {
public:
    // `heartbeat` is false for counts given without one.
    virtual void recordProgress(int64_t n, bool heartbeat) = 0;

protected:
    ~ProgressRecorder() = default;
};

class ProgressMonitor {
public:
    // A null sink means the embedded passive one. A negative total counts as 0.
    // A heartbeat interval of 0 means no heartbeat.
    ProgressMonitor(ProgressEvent* sink, uint32_t heartbeatMs, int64_t total);
    // A recording monitor, for work done away from the thread that owns the sink: it calls
    // no sink, hands every count to `recorder`, and reports an abort once `stop` is set.
    ProgressMonitor(ProgressRecorder& recorder, const std::atomic<bool>& stop);
    ProgressMonitor(const ProgressMonitor&) = delete;
    ProgressMonitor& operator=(const ProgressMonitor&) = delete;

    // Adds n bytes (negative counts as 0) and calls percentDone when the percent
    // grows, or abortCheck when a heartbeat is due. Returns the abort flag.
    bool progress(int64_t n, LogBase& log);
    // The same without any heartbeat.
    void progressWithoutHeartbeat(int64_t n, LogBase& log);
    // Calls abortCheck when the heartbeat interval has passed. Returns the abort flag.
    bool heartbeatCheck();
    // Brings done up to the total, so a run's last percentDone carries 100.
    void consumeRemaining(LogBase& log);

    bool abortFlag() const {
        return aborted_ != 0 || (stop_ && stop_->load(std::memory_order_relaxed));
    }
    uint32_t heartbeatMs() const { return heartbeatMs_; }
    int64_t total() const { return total_; }
    int64_t done() const { return done_; }

    // done/total in percent, rounded down; 100 for a total of 0 or less. Large
    // totals are scaled down by powers of ten first so that done * 100 fits.
    static int32_t percentOf(int64_t done, int64_t total);

private:
    // A heartbeat: both times become `now` and the sink may ask to abort.
    void beat(uint64_t now);

    ProgressEvent* sink_;
    uint8_t aborted_ = 0;
    int32_t lastReportedPercent_ = 0;
    uint64_t lastCallbackMs_;
    uint64_t lastHeartbeatMs_;
    uint32_t heartbeatMs_;
    int64_t total_;
    int64_t done_ = 0;
    uint8_t heartbeatSuppressed_ = 0;
    AsyncProgressEvent passiveSink_;
    ProgressRecorder* recorder_ = nullptr;
    const std::atomic<bool>* stop_ = nullptr;
};

// Owns the monitor of one run, when there is one: a monitor is made only for a
// caller that gave an event sink.
class ProgressMonitorPtr {
public:
    ProgressMonitorPtr(ProgressEvent* sink, uint32_t heartbeatMs, int64_t total);

    // Null when the run has no event sink.
    ProgressMonitor* get() const { return monitor_.get(); }
    bool abortFlag() const { return monitor_ && monitor_->abortFlag(); }
    void consumeRemaining(LogBase& log);

private:
    std::unique_ptr<ProgressMonitor> monitor_;
};

} // namespace vexmar

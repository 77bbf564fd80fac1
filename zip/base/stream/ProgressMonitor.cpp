#include "zip/base/stream/ProgressMonitor.h"

#include "os/Clock.h"
#include "zip/base/LogBase.h"

#include <new>

namespace vexmar {

namespace {

// Above this, total and done are divided by ten until done * 100 cannot overflow.
constexpr int64_t kScaledTotalLimit = 1000000;

} // namespace

ProgressMonitor::ProgressMonitor(ProgressEvent* sink, uint32_t heartbeatMs, int64_t total)
    : sink_(sink ? sink : &passiveSink_), lastCallbackMs_(os::tickCountMs()),
      lastHeartbeatMs_(lastCallbackMs_), heartbeatMs_(heartbeatMs), total_(total < 0 ? 0 : total) {}

ProgressMonitor::ProgressMonitor(ProgressRecorder& recorder, const std::atomic<bool>& stop)
    : ProgressMonitor(nullptr, 0, 0) {
    recorder_ = &recorder;
    stop_ = &stop;
}

int32_t ProgressMonitor::percentOf(int64_t done, int64_t total) {
    if (total <= 0)
        return 100;
    while (total > kScaledTotalLimit) {
        total /= 10;
        done /= 10;
    }
    return int32_t(done * 100 / total);
}

bool ProgressMonitor::progress(int64_t n, LogBase& log) {
    if (recorder_) {
        recorder_->recordProgress(n, heartbeatSuppressed_ == 0);
        return abortFlag();
    }
    if (n < 0)
        n = 0;
    const int32_t oldPercent = percentOf(done_, total_);
    done_ = n > total_ - done_ ? total_ : done_ + n;
    const int32_t newPercent = percentOf(done_, total_);

    if (newPercent > oldPercent && newPercent > lastReportedPercent_) {
        lastCallbackMs_ = os::tickCountMs();
        lastReportedPercent_ = newPercent;
        if (log.isProgressTrace())
            log.logDataInt("percentDoneCB", newPercent);
        bool abort = false;
        sink_->percentDone(newPercent, &abort);
        if (abort)
            aborted_ = 1;
    } else if (!heartbeatSuppressed_ && heartbeatMs_ != 0) {
        const uint64_t now = os::tickCountMs();
        if (now - lastCallbackMs_ > heartbeatMs_)
            beat(now);
    }
    return aborted_ != 0;
}

void ProgressMonitor::beat(uint64_t now) {
    lastCallbackMs_ = now;
    lastHeartbeatMs_ = now;
    bool abort = false;
    sink_->abortCheck(&abort);
    if (abort)
        aborted_ = 1;
}

void ProgressMonitor::progressWithoutHeartbeat(int64_t n, LogBase& log) {
    if (n < 0)
        return;
    const uint8_t saved = heartbeatSuppressed_;
    heartbeatSuppressed_ = 1;
    progress(n, log);
    heartbeatSuppressed_ = saved;
}

bool ProgressMonitor::heartbeatCheck() {
    if (recorder_)
        return abortFlag();
    if (aborted_)
        return true;
    if (heartbeatMs_ == 0)
        return false;
    const uint64_t now = os::tickCountMs();
    if (now <= lastHeartbeatMs_) {
        lastHeartbeatMs_ = now;
        return false;
    }
    if (now - lastHeartbeatMs_ >= heartbeatMs_)
        beat(now);
    return aborted_ != 0;
}

void ProgressMonitor::consumeRemaining(LogBase& log) {
    if (recorder_)
        return;
    if (done_ < total_)
        progressWithoutHeartbeat(total_ - done_, log);
}

ProgressMonitorPtr::ProgressMonitorPtr(ProgressEvent* sink, uint32_t heartbeatMs, int64_t total) {
    if (sink)
        monitor_.reset(new (std::nothrow) ProgressMonitor(sink, heartbeatMs, total));
}

void ProgressMonitorPtr::consumeRemaining(LogBase& log) {
    if (monitor_)
        monitor_->consumeRemaining(log);
}

} // namespace vexmar

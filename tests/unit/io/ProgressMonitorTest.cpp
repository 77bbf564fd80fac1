#include "zip/base/stream/ProgressMonitor.h"
#include "os/Clock.h"
#include "tests/unit/io/RecordingSink.h"
#include "zip/base/LogNull.h"
#include "zip/base/Logger.h"
#include "zip/base/stream/AsyncProgressEvent.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace vexmar;

namespace {

struct PercentCase {
    int64_t done;
    int64_t total;
    int32_t percent;
};

TEST(ProgressMonitor, PercentRule) {
    const PercentCase cases[] = {
        {0, 0, 100},
        {5, -7, 100},
        {1, 3, 33},
        {999999, 1000000, 99},
        {1500000000, 3000000000, 50},
        // 2,999,999,999 / 10,000 = 299,999 of 300,000.
        {2999999999, 3000000000, 99},
        {3000000000, 3000000000, 100},
        {INT64_MAX, INT64_MAX, 100},
        {INT64_MAX / 2, INT64_MAX, 49},
    };
    for (const PercentCase& c : cases)
        EXPECT_EQ(ProgressMonitor::percentOf(c.done, c.total), c.percent)
            << c.done << "/" << c.total;
}

struct SequenceCase {
    const char* what;
    int64_t total;
    std::vector<int64_t> steps;
    std::vector<int32_t> reported;
};

TEST(ProgressMonitor, ReportsEachNewPercentOnce) {
    const SequenceCase cases[] = {
        {"total 0 never reports", 0, {10, 20}, {}},
        {"total 250", 250, {100, 100, 50}, {40, 80, 100}},
        {"3,000,000,000 scaled down", 3000000000, {300000000, 29999, 1, 2700000000}, {10, 100}},
        {"beyond the total stops at 100 once", 100, {50, 500, 10}, {50, 100}},
        {"negative steps count as 0", 100, {-5, 30, -1}, {30}},
        {"steps below one percent", 1000, {4, 4, 4, 4}, {1}},
        {"negative total counts as 0", -5, {1}, {}},
    };
    for (const SequenceCase& c : cases) {
        RecordingSink sink;
        ProgressMonitor monitor(&sink, 0, c.total);
        LogNull log;
        for (int64_t step : c.steps)
            EXPECT_FALSE(monitor.progress(step, log)) << c.what;
        EXPECT_EQ(sink.percents, c.reported) << c.what;
        EXPECT_EQ(sink.abortChecks, 0) << c.what;
        EXPECT_LE(monitor.done(), monitor.total()) << c.what;
    }
}

TEST(ProgressMonitor, ConsumeRemainingEndsAt100) {
    RecordingSink sink;
    ProgressMonitor monitor(&sink, 0, 400);
    LogNull log;
    monitor.progress(100, log);
    monitor.consumeRemaining(log);
    monitor.consumeRemaining(log);
    EXPECT_EQ(sink.percents, (std::vector<int32_t>{25, 100}));
    EXPECT_EQ(monitor.done(), 400);
}

TEST(ProgressMonitor, ProgressTraceRecordsThePercent) {
    RecordingSink sink;
    ProgressMonitor monitor(&sink, 0, 2);
    Logger log;
    log.setProgressTrace(true);
    monitor.progress(1, log);
    StringBuffer text;
    log.errorText(text);
    EXPECT_TRUE(text.contains("percentDoneCB")) << text.getString();
}

TEST(ProgressMonitor, AbortFromPercentDoneSticks) {
    RecordingSink sink;
    sink.abortOnPercentCall = 1;
    ProgressMonitor monitor(&sink, 0, 100);
    LogNull log;
    EXPECT_TRUE(monitor.progress(10, log));
    EXPECT_TRUE(monitor.abortFlag());
    EXPECT_TRUE(monitor.heartbeatCheck());
    EXPECT_TRUE(monitor.progress(0, log));
}

TEST(ProgressMonitor, HeartbeatAsksForAbortAfterTheInterval) {
    RecordingSink sink;
    ProgressMonitor monitor(&sink, 1, 1000000);
    LogNull log;
    os::sleepMs(40);
    // No new percent: the heartbeat is due instead.
    EXPECT_FALSE(monitor.progress(1, log));
    EXPECT_EQ(sink.abortChecks, 1);
    EXPECT_TRUE(sink.percents.empty());

    os::sleepMs(40);
    monitor.progressWithoutHeartbeat(1, log);
    EXPECT_EQ(sink.abortChecks, 1);

    sink.abortOnCheck = true;
    os::sleepMs(40);
    EXPECT_TRUE(monitor.heartbeatCheck());
    EXPECT_EQ(sink.abortChecks, 2);
    // Once aborted, the sink is not asked again.
    os::sleepMs(40);
    EXPECT_TRUE(monitor.heartbeatCheck());
    EXPECT_EQ(sink.abortChecks, 2);
}

TEST(ProgressMonitor, NoHeartbeatWithIntervalZero) {
    RecordingSink sink;
    sink.abortOnCheck = true;
    ProgressMonitor monitor(&sink, 0, 10);
    os::sleepMs(40);
    EXPECT_FALSE(monitor.heartbeatCheck());
    EXPECT_EQ(sink.abortChecks, 0);
}

TEST(ProgressMonitorPtr, MakesAMonitorOnlyForASink) {
    LogNull log;
    ProgressMonitorPtr none(nullptr, 0, 100);
    EXPECT_EQ(none.get(), nullptr);
    EXPECT_FALSE(none.abortFlag());
    none.consumeRemaining(log);

    RecordingSink sink;
    ProgressMonitorPtr some(&sink, 0, 100);
    ASSERT_NE(some.get(), nullptr);
    some.consumeRemaining(log);
    EXPECT_EQ(sink.percents, std::vector<int32_t>{100});
}

TEST(AsyncProgressEvent, KeepsThePercentAndAnswersAbortRequests) {
    AsyncProgressEvent event;
    ProgressMonitor monitor(&event, 0, 10);
    LogNull log;
    EXPECT_FALSE(monitor.progress(3, log));
    EXPECT_EQ(event.lastPercent(), 30);
    event.requestAbort();
    EXPECT_TRUE(monitor.progress(3, log));
    EXPECT_EQ(event.lastPercent(), 60);

    // Without a sink of its own the monitor uses an embedded passive one.
    ProgressMonitor passive(nullptr, 0, 10);
    EXPECT_FALSE(passive.progress(10, log));
}

} // namespace

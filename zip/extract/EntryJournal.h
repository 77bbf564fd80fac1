// What the work on one entry recorded away from the caller's thread: its log and its
// progress, in the order they happened. When the entry's turn comes, the journal is replayed
// into the run's log and monitor, so that the caller sees what one thread would have shown.
// Where the application aborts during a replay, the entry is done again with its work seeing
// the abort at that very count, and the rest of that second journal is replayed.
#pragma once

#include "zip/base/LogBase.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vexmar {

class EntryJournal : public LogBase, public ProgressRecorder {
public:
    // Records as verbosely as `like`.
    explicit EntryJournal(const LogBase& like);

    bool logError(const char* message) override;
    bool logInfo(const char* message) override;
    bool logRaw(const char* line) override;
    bool enterContext(const char* name, bool flag) override;
    bool leaveContext() override;
    bool logData(const char* name, const char* value) override;
    void recordProgress(int64_t n, bool heartbeat) override;

    // From now on, sets `stop` when the count numbered `n` (from 1) is recorded, so that the
    // work recorded sees an abort exactly there.
    void stopAtProgress(size_t n, std::atomic<bool>& stop);

    // Where a replay stopped: after the count numbered `counts` (from 1), with `open` contexts
    // of the journal still open in the log.
    struct Stop {
        size_t counts = 0;
        int open = 0;
    };
    // Replays the records into `log` and the counts into `monitor` (may be null). False when
    // the monitor's sink asked to abort; the replay stops right after that count.
    bool replay(LogBase& log, ProgressMonitor* monitor, Stop& stop) const;
    // Replays the log records that follow the place `stop`, without their counts, and closes
    // what is left open.
    void replayAfter(LogBase& log, const Stop& stop) const;

private:
    enum class Kind : uint8_t { Error, Info, Raw, Enter, Leave, Data, Progress, QuietProgress };
    struct Record {
        Kind kind = Kind::Raw;
        int64_t bytes = 0;
        std::string name;
        std::string text;
    };
    bool add(Kind kind, const char* name, const char* text);
    void apply(const Record& r, LogBase& log, int& open) const;

    std::vector<Record> records_;
    int depth_ = 0;
    size_t counts_ = 0;
    size_t stopAt_ = 0;
    std::atomic<bool>* stop_ = nullptr;
};

} // namespace vexmar

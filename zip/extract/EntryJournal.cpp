#include "zip/extract/EntryJournal.h"

namespace vexmar {

EntryJournal::EntryJournal(const LogBase& like) {
    setVerbose(like.isVerbose());
    setProgressTrace(like.isProgressTrace());
}

bool EntryJournal::add(Kind kind, const char* name, const char* text) {
    Record record;
    record.kind = kind;
    if (name)
        record.name = name;
    if (text)
        record.text = text;
    records_.push_back(std::move(record));
    return true;
}

bool EntryJournal::logError(const char* message) {
    return add(Kind::Error, nullptr, message);
}

bool EntryJournal::logInfo(const char* message) {
    return add(Kind::Info, nullptr, message);
}

bool EntryJournal::logRaw(const char* line) {
    return add(Kind::Raw, nullptr, line);
}

bool EntryJournal::enterContext(const char* name, bool) {
    ++depth_;
    return add(Kind::Enter, name, nullptr);
}

// Like the recording log, closing nothing beyond what this journal opened.
bool EntryJournal::leaveContext() {
    if (depth_ == 0)
        return false;
    --depth_;
    return add(Kind::Leave, nullptr, nullptr);
}

bool EntryJournal::logData(const char* name, const char* value) {
    return add(Kind::Data, name, value);
}

void EntryJournal::recordProgress(int64_t n, bool heartbeat) {
    Record record;
    record.kind = heartbeat ? Kind::Progress : Kind::QuietProgress;
    record.bytes = n;
    records_.push_back(std::move(record));
    if (++counts_ == stopAt_ && stop_)
        stop_->store(true);
}

void EntryJournal::stopAtProgress(size_t n, std::atomic<bool>& stop) {
    stopAt_ = n;
    stop_ = &stop;
}

// A log record into `log`; counts are left to the caller.
void EntryJournal::apply(const Record& r, LogBase& log, int& open) const {
    switch (r.kind) {
    case Kind::Error:
        log.logError(r.text.c_str());
        break;
    case Kind::Info:
        log.logInfo(r.text.c_str());
        break;
    case Kind::Raw:
        log.logRaw(r.text.c_str());
        break;
    case Kind::Enter:
        log.enterContext(r.name.c_str(), true);
        ++open;
        break;
    case Kind::Leave:
        if (open > 0) {
            log.leaveContext();
            --open;
        }
        break;
    case Kind::Data:
        log.logData(r.name.c_str(), r.text.c_str());
        break;
    case Kind::Progress:
    case Kind::QuietProgress:
        break;
    }
}

bool EntryJournal::replay(LogBase& log, ProgressMonitor* monitor, Stop& stop) const {
    stop = Stop{};
    for (const Record& r : records_) {
        if (r.kind != Kind::Progress && r.kind != Kind::QuietProgress) {
            apply(r, log, stop.open);
            continue;
        }
        ++stop.counts;
        if (!monitor)
            continue;
        if (r.kind == Kind::Progress)
            monitor->progress(r.bytes, log);
        else
            monitor->progressWithoutHeartbeat(r.bytes, log);
        if (monitor->abortFlag())
            return false;
    }
    return true;
}

void EntryJournal::replayAfter(LogBase& log, const Stop& stop) const {
    int open = stop.open;
    size_t counts = 0;
    size_t i = 0;
    for (; i < records_.size() && counts < stop.counts; ++i)
        if (records_[i].kind == Kind::Progress || records_[i].kind == Kind::QuietProgress)
            ++counts;
    if (counts == stop.counts)
        for (; i < records_.size(); ++i)
            apply(records_[i], log, open);
    for (; open > 0; --open)
        log.leaveContext();
}

} // namespace vexmar

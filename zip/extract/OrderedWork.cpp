#include "zip/extract/OrderedWork.h"

#include "zip/base/LogBase.h"
#include "zip/extract/EntryJournal.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vexmar {

namespace {

// How far the workers may run ahead of the entry being delivered, per worker. It bounds the
// journals held and the work undone after an abort.
constexpr uint32_t kAheadPerWorker = 4;

struct Finished {
    explicit Finished(const LogBase& like) : journal(like) {}
    EntryJournal journal;
    EntryOutcome outcome;
};

class Run {
public:
    Run(uint32_t slots, uint32_t ahead, const LogBase& log, bool monitored, const EntryWork& work,
        const EntryInTurn& inTurn)
        : finished_(slots), ahead_(ahead), slots_(slots), log_(log), monitored_(monitored),
          work_(work), inTurn_(inTurn) {}

    void workerLoop() {
        for (;;) {
            uint32_t slot = 0;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                room_.wait(lock, [&] {
                    return stop_.load() || next_ >= slots_ || next_ - delivering_ < ahead_;
                });
                if (stop_.load() || next_ >= slots_)
                    return;
                slot = next_++;
                if (inTurn_ && inTurn_(slot)) {
                    room_.wait(lock, [&] { return stop_.load() || delivering_ == slot; });
                    if (stop_.load())
                        return;
                }
            }
            auto done = std::make_unique<Finished>(log_);
            if (monitored_) {
                ProgressMonitor recording(done->journal, stop_);
                done->outcome = work_(slot, done->journal, &recording);
            } else {
                done->outcome = work_(slot, done->journal, nullptr);
            }
            std::lock_guard<std::mutex> lock(mutex_);
            finished_[slot] = std::move(done);
            ready_.notify_all();
        }
    }

    // Waits for the slot's work, giving the monitor its heartbeats. Null when an abort came
    // first.
    std::unique_ptr<Finished> await(uint32_t slot, ProgressMonitor* monitor) {
        const uint32_t beat = monitor ? monitor->heartbeatMs() : 0;
        std::unique_lock<std::mutex> lock(mutex_);
        while (!finished_[slot]) {
            if (beat == 0) {
                ready_.wait(lock);
                continue;
            }
            if (ready_.wait_for(lock, std::chrono::milliseconds(beat)) == std::cv_status::timeout) {
                lock.unlock();
                const bool abort = monitor->heartbeatCheck();
                lock.lock();
                if (abort)
                    return nullptr;
            }
        }
        return std::move(finished_[slot]);
    }

    void advance(uint32_t delivered) {
        std::lock_guard<std::mutex> lock(mutex_);
        delivering_ = delivered;
        room_.notify_all();
    }

    void stop() {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_.store(true);
        room_.notify_all();
    }

    // After the workers are joined.
    std::unique_ptr<Finished> leftOver(uint32_t slot) { return std::move(finished_[slot]); }

private:
    std::mutex mutex_;
    std::condition_variable room_;
    std::condition_variable ready_;
    std::vector<std::unique_ptr<Finished>> finished_;
    std::atomic<bool> stop_{false};
    uint32_t next_ = 0;
    uint32_t delivering_ = 0;
    const uint32_t ahead_;
    const uint32_t slots_;
    const LogBase& log_;
    const bool monitored_;
    const EntryWork& work_;
    const EntryInTurn& inTurn_;
};

// The entry's work once more, on the calling thread, seeing an abort at the count where the
// replay stopped; the log records after that count are replayed.
EntryOutcome redo(uint32_t slot, const EntryJournal::Stop& stop, LogBase& log,
                  const EntryWork& work) {
    EntryJournal again(log);
    std::atomic<bool> abort{false};
    again.stopAtProgress(stop.counts, abort);
    ProgressMonitor recording(again, abort);
    const EntryOutcome outcome = work(slot, again, &recording);
    again.replayAfter(log, stop);
    return outcome;
}

} // namespace

OrderedRun runOrdered(unsigned workers, uint32_t slots, LogBase& log, ProgressMonitor* monitor,
                      const EntryWork& work, const EntryDelivery& deliver, const EntryUndo& undo,
                      const EntryInTurn& inTurn) {
    OrderedRun result;
    if (workers == 0)
        return result;
    Run run(slots, workers * kAheadPerWorker, log, monitor != nullptr, work, inTurn);
    std::vector<std::thread> threads;
    threads.reserve(workers);
    try {
        for (unsigned i = 0; i < workers; ++i)
            threads.emplace_back([&run] { run.workerLoop(); });
    } catch (...) {
        // A thread the system would not start, or memory for it: fewer threads
        // than asked for still do all the work; none at all do nothing.
        if (threads.empty())
            return result;
    }
    result.started = true;

    uint32_t slot = 0;
    for (; slot < slots; ++slot) {
        std::unique_ptr<Finished> done = run.await(slot, monitor);
        if (!done) {
            result.cutShort = true;
            break;
        }
        EntryOutcome outcome = done->outcome;
        EntryJournal::Stop stop;
        if (!done->journal.replay(log, monitor, stop)) {
            // The application aborted in the middle of this entry. On one thread its work
            // would have seen the abort at that count: do it again so, here.
            run.stop();
            undo(slot, outcome);
            outcome = redo(slot, stop, log, work);
        }
        run.advance(slot + 1);
        if (!deliver(slot, outcome) || (monitor && monitor->abortFlag())) {
            ++slot;
            break;
        }
    }
    result.delivered = slot;
    run.stop();
    for (std::thread& t : threads)
        t.join();
    for (; slot < slots; ++slot)
        if (std::unique_ptr<Finished> done = run.leftOver(slot))
            undo(slot, done->outcome);
    return result;
}

} // namespace vexmar

// Work on the entries of a run spread over several threads, with everything the caller sees
// kept on the caller's thread and in entry order: each entry's log and progress are replayed
// there (see EntryJournal), then its result is delivered. An abort, from the progress sink or
// from a delivery, stops every thread; work finished beyond that point is handed back to be
// undone. An abort in the middle of an entry's replay undoes it and does it again, on the
// calling thread, seeing the abort where one thread would have seen it.
#pragma once

#include <cstdint>
#include <functional>

namespace vexmar {

class LogBase;
class ProgressMonitor;

struct EntryOutcome {
    bool ok = false;
    // What the entry added to the run's count of written files.
    int32_t count = 0;
};

struct OrderedRun {
    // False when no thread could be started; nothing was done.
    bool started = false;
    // An abort came, from a heartbeat, while the calling thread waited for an entry; that
    // entry was undone, as a failure.
    bool cutShort = false;
    // The slots delivered, from the first.
    uint32_t delivered = 0;
};

// Runs on a worker thread with the entry's own log and monitor (null when `monitor` is), or
// again on the calling thread. The same entry must give the same counts each time.
using EntryWork = std::function<EntryOutcome(uint32_t slot, LogBase& log, ProgressMonitor* monitor)>;
// Runs on the calling thread, in slot order; false stops the run after this slot.
using EntryDelivery = std::function<bool(uint32_t slot, const EntryOutcome& outcome)>;
// Runs on the calling thread once the workers are done, for each slot whose work finished but
// was never delivered.
using EntryUndo = std::function<void(uint32_t slot, const EntryOutcome& outcome)>;

// True for a slot whose work must wait until every slot before it was delivered: work that
// an abort could not undo, such as replacing a file that was there before the run.
using EntryInTurn = std::function<bool(uint32_t slot)>;

// `monitor` belongs to the calling thread; the workers never touch it. While it waits, the
// calling thread gives the monitor its heartbeats. `inTurn` may be empty.
OrderedRun runOrdered(unsigned workers, uint32_t slots, LogBase& log, ProgressMonitor* monitor,
                      const EntryWork& work, const EntryDelivery& deliver, const EntryUndo& undo,
                      const EntryInTurn& inTurn = {});

} // namespace vexmar

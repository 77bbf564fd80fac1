// Holding the shared output lock for one write.
//
// A failed debug-log write must be reported as a toolkit error, and raising takes
// the error lock, which comes before the output lock. So a failure met while this
// thread holds the output lock but not the error lock is kept aside and raised
// when the thread lets go of the output lock (Release); raising on the spot could
// wait for the error lock while a thread that holds it waits for the output lock.
#pragma once

#include "toolkit/diag/MetaOutput.h"

namespace Quillkit {

class OutputHold {
public:
    explicit OutputHold(MetaOutput* out);
    // Lets go without raising what was kept aside: an exception is on its way, or
    // the write did not finish.
    ~OutputHold();
    OutputHold(const OutputHold&) = delete;
    OutputHold& operator=(const OutputHold&) = delete;

    // Lets go, then raises a kept-aside failure if this thread is now free of the
    // output lock.
    void Release();

private:
    OwnedLock* lock_;
    bool held_ = true;
};

} // namespace Quillkit

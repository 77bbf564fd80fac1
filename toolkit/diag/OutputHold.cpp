#include "toolkit/diag/OutputHold.h"

#include "toolkit/diag/DebugLogFailure.h"

namespace Quillkit {

OutputHold::OutputHold(MetaOutput* out) : lock_(out->GetOutputLock()) {
    lock_->Enter();
}

OutputHold::~OutputHold() {
    if (!held_)
        return;
    lock_->Leave();
    if (!lock_->HeldByThisThread())
        DropKeptDebugLogFailure();
}

void OutputHold::Release() {
    held_ = false;
    lock_->Leave();
    if (!lock_->HeldByThisThread())
        RaiseKeptDebugLogFailure();
}

} // namespace Quillkit

#include "zip/base/stream/AsyncProgressEvent.h"

namespace vexmar {

void AsyncProgressEvent::percentDone(int32_t percent, bool* abort) {
    lastPercent_.store(percent);
    if (abort)
        *abort = abortRequested_.load();
}

void AsyncProgressEvent::abortCheck(bool* abort) {
    if (abort)
        *abort = abortRequested_.load();
}

} // namespace vexmar

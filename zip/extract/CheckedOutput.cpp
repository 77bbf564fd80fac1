#include "zip/extract/CheckedOutput.h"

#include "zip/base/LogBase.h"

namespace vexmar {

CheckedOutput::CheckedOutput(Output& target, uint64_t declaredSize)
    : Output(static_cast<Kind>(target.kind())), target_(target), declaredSize_(declaredSize) {}

bool CheckedOutput::admit(const uint8_t* data, uint64_t length, LogBase& log) {
    if (length > declaredSize_ - passed_) {
        log.logError("The entry's data decodes to more bytes than its size.");
        log.logDataInt64("declaredSize", static_cast<int64_t>(declaredSize_));
        return false;
    }
    crc_.update(data, static_cast<size_t>(length));
    passed_ += length;
    return true;
}

bool CheckedOutput::writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor*,
                             LogBase& log) {
    // Progress is this output's business; the target only stores.
    return admit(data, length, log) && target_.write(data, length, nullptr, log);
}

bool CheckedOutput::storePlaced(const uint8_t* data, uint64_t length, ProgressMonitor*,
                                LogBase& log) {
    return admit(data, length, log) && target_.writePlaced(data, length, nullptr, log);
}

} // namespace vexmar

#include "zip/base/stream/Output.h"

#include "zip/base/checksum/Adler32.h"
#include "os/Clock.h"
#include "zip/base/DataBuffer.h"
#include "zip/base/LogBase.h"
#include "zip/base/StringBuffer.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <cstring>

namespace vexmar {

Output::~Output() = default;

bool Output::writeRaw(const uint8_t*, uint64_t, ProgressMonitor*, LogBase&) {
    return true;
}
bool Output::seekToEnd(LogBase&) {
    return true;
}
bool Output::seekAbsolute(uint64_t, LogBase&) {
    return true;
}
uint64_t Output::position() {
    return 0;
}
bool Output::reset(LogBase&) {
    return true;
}
uint8_t* Output::rawPlaceArea(uint64_t) {
    return nullptr;
}
bool Output::storePlaced(const uint8_t*, uint64_t, ProgressMonitor*, LogBase&) {
    return false;
}

bool Output::write(const void* data, uint64_t length, ProgressMonitor* monitor, LogBase& log) {
    if (length == 0 || !data)
        return true;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (transform_)
        return writeTransformed(bytes, length, monitor, log);
    return writeStep(bytes, length, false, monitor, log);
}

uint8_t* Output::placeArea(uint64_t length) {
    return transform_ || error_ ? nullptr : rawPlaceArea(length);
}

bool Output::writePlaced(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                         LogBase& log) {
    if (length == 0)
        return true;
    return writeStep(data, length, true, monitor, log);
}

bool Output::write(const StringBuffer& text, ProgressMonitor* monitor, LogBase& log) {
    return write(text.getString(), text.getSize(), monitor, log);
}

bool Output::write(const DataBuffer& bytes, ProgressMonitor* monitor, LogBase& log) {
    return write(bytes.getData(), bytes.getSize(), monitor, log);
}

bool Output::writeLe16(uint16_t value, ProgressMonitor* monitor, LogBase& log) {
    const uint8_t bytes[2] = {uint8_t(value), uint8_t(value >> 8)};
    return write(bytes, sizeof bytes, monitor, log);
}

bool Output::writeLe32(uint32_t value, ProgressMonitor* monitor, LogBase& log) {
    const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                              uint8_t(value >> 24)};
    return write(bytes, sizeof bytes, monitor, log);
}

bool Output::writeLe64(uint64_t value, ProgressMonitor* monitor, LogBase& log) {
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = uint8_t(value >> (8 * i));
    return write(bytes, sizeof bytes, monitor, log);
}

// Counting, checksum, storing and progress for bytes in their final form.
bool Output::writeStep(const uint8_t* data, uint64_t length, bool placed,
                       ProgressMonitor* monitor, LogBase& log) {
    if (byteCounter_)
        updateStatistics(length);
    if (computeAdler_)
        adler_ = vexmar::adler32Update(adler_, data, size_t(length));
    const bool stored =
        placed ? storePlaced(data, length, monitor, log) : writeRaw(data, length, monitor, log);
    if (!stored) {
        error_ = 1;
        return false;
    }
    total_ += length;
    if (monitor) {
        const bool abort =
            progressByBytes_ ? monitor->progress(int64_t(length), log) : monitor->heartbeatCheck();
        if (abort) {
            log.logError("Output aborted by application callback.");
            error_ = 1;
            return false;
        }
    }
    return true;
}

// The transform works in place, so the caller's bytes are copied piece by
// piece into a buffer of our own first.
bool Output::writeTransformed(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                              LogBase& log) {
    uint8_t piece[kTransformPiece];
    while (length > 0) {
        const uint32_t n = length > kTransformPiece ? kTransformPiece : uint32_t(length);
        std::memcpy(piece, data, n);
        if (!transform_->transformWritten(piece, n, log)) {
            error_ = 1;
            return false;
        }
        if (!writeStep(piece, n, false, monitor, log))
            return false;
        if (monitor && monitor->abortFlag())
            return false;
        data += n;
        length -= n;
    }
    return true;
}

void Output::watchStatistics(uint64_t* byteCounter, uint64_t* bytesPerSecond, int32_t* percent,
                             int64_t expectedSize) {
    byteCounter_ = byteCounter;
    bytesPerSecond_ = bytesPerSecond;
    percent_ = percent;
    expectedSize_ = expectedSize;
    // Watching that starts within a run counts from here.
    if (byteCounter_)
        runStartMs_ = os::tickCountMs();
}

void Output::runBegin() {
    // Only the statistics read the clock; most runs (every entry of an archive) watch none.
    if (byteCounter_) {
        runStartMs_ = os::tickCountMs();
        *byteCounter_ = 0;
    }
    if (bytesPerSecond_)
        *bytesPerSecond_ = 0;
    if (percent_)
        *percent_ = 0;
}

void Output::runEnd() {
    if (byteCounter_)
        updateStatistics(0);
}

void Output::updateStatistics(uint64_t length) {
    *byteCounter_ += length;
    const uint64_t elapsed = os::tickCountMs() - runStartMs_;
    if (elapsed == 0)
        return;
    if (bytesPerSecond_)
        *bytesPerSecond_ = *byteCounter_ * 1000 / elapsed;
    if (percent_ && expectedSize_ > 0)
        *percent_ = ProgressMonitor::percentOf(int64_t(*byteCounter_), expectedSize_);
}

} // namespace vexmar

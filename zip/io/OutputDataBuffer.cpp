#include "zip/io/OutputDataBuffer.h"

#include "zip/base/DataBuffer.h"
#include "zip/base/LogBase.h"

#include <cstring>

namespace vexmar {

namespace {

// Room kept past the data, as every growth of the buffer asks for.
constexpr uint64_t kSlack = 8;
// The most room placeArea() grows the buffer by. The size asked for is often an entry's
// declared size, which a damaged archive may overstate; beyond this the buffer grows with
// the data written instead.
constexpr uint64_t kMaxPlaceGrowth = uint64_t(64) << 20;

} // namespace

OutputDataBuffer::OutputDataBuffer(DataBuffer* target)
    : Output(kMemory), target_(target), index_(target ? target->getSize() : 0) {}

OutputDataBuffer::~OutputDataBuffer() = default;

void OutputDataBuffer::setReroute(uint32_t threshold, const char* pathUtf8) {
    rerouteThreshold_ = threshold;
    reroutePath_.setFromUtf8(pathUtf8 ? pathUtf8 : "");
}

// Moves what the buffer holds to the reroute file; later writes go there.
bool OutputDataBuffer::reroute(LogBase& log) {
    log.logInfo("Rerouting in-memory output to file because of size.");
    log.logDataInt64("rerouteSize", rerouteThreshold_);
    std::unique_ptr<OutputFile> file = OutputFile::createForPath(reroutePath_.getUtf8(), log);
    if (!file) {
        rerouteFailed_ = 1;
        return false;
    }
    if (!file->writeRaw(target_->getData(), target_->getSize(), nullptr, log) ||
        !file->seekAbsolute(index_, log)) {
        failed_ = 1;
        return false;
    }
    target_->release();
    rerouteFile_ = std::move(file);
    rerouted_ = 1;
    return true;
}

bool OutputDataBuffer::writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                                LogBase& log) {
    if (rerouted_)
        return rerouteFile_->writeRaw(data, length, monitor, log);
    if (failed_ || !target_)
        return false;

    const uint64_t need = length + index_ + kSlack;
    if (rerouteThreshold_ && !reroutePath_.isEmpty() && !rerouteFailed_ &&
        need > rerouteThreshold_) {
        if (reroute(log))
            return rerouteFile_->writeRaw(data, length, monitor, log);
        if (failed_)
            return false;
    }

    const uint64_t grown = need + need / 2;
    if (need > UINT32_MAX || target_->getCapacity() < need || target_->isBorrowed()) {
        if (need > UINT32_MAX ||
            !target_->ensureCapacity(grown > UINT32_MAX ? UINT32_MAX : uint32_t(grown))) {
            log.logError("Failed to allocate memory for output data buffer.");
            log.logDataInt64("ensureSz0", int64_t(need));
            log.logDataInt64("ensureSz", int64_t(grown));
            log.logDataInt64("m_idx", index_);
            log.logDataInt64("size", int64_t(length));
            failed_ = 1;
            return false;
        }
    }
    return storeAtIndex(data, uint32_t(length), log);
}

// Over existing bytes where there are some; a gap between the data's end and
// the index is filled with zeros.
bool OutputDataBuffer::storeAtIndex(const uint8_t* data, uint32_t length, LogBase&) {
    const uint32_t size = target_->getSize();
    uint8_t* bytes = target_->getData();
    if (index_ > size)
        std::memset(bytes + size, 0, index_ - size);
    std::memcpy(bytes + index_, data, length);
    index_ += length;
    if (index_ > size && !target_->setSize(index_)) {
        failed_ = 1;
        return false;
    }
    return true;
}

uint8_t* OutputDataBuffer::rawPlaceArea(uint64_t length) {
    // Only at the end: a decoder may write scratch bytes past what it hands over, which must
    // not land on data the buffer already holds.
    if (rerouted_ || failed_ || !target_ || index_ != target_->getSize())
        return nullptr;
    const uint64_t need = length + index_ + kSlack;
    // Data that will move to a file is written, not placed.
    if (need > UINT32_MAX || (rerouteThreshold_ && !reroutePath_.isEmpty() && !rerouteFailed_ &&
                              need > rerouteThreshold_))
        return nullptr;
    if (need > target_->getCapacity() && need - target_->getSize() > kMaxPlaceGrowth)
        return nullptr;
    if (!target_->ensureCapacity(uint32_t(need)))
        return nullptr;
    return target_->getData() + index_;
}

bool OutputDataBuffer::storePlaced(const uint8_t* data, uint64_t length, ProgressMonitor*,
                                   LogBase& log) {
    // The bytes must sit where the next write would have put them.
    if (rerouted_ || failed_ || !target_ || data != target_->getData() + index_ ||
        length > target_->getCapacity() - index_) {
        log.logError("Placed output is not where the buffer continues.");
        failed_ = 1;
        return false;
    }
    index_ += uint32_t(length);
    if (index_ > target_->getSize() && !target_->setSize(index_)) {
        failed_ = 1;
        return false;
    }
    return true;
}

bool OutputDataBuffer::seekToEnd(LogBase& log) {
    if (rerouted_)
        return rerouteFile_->seekToEnd(log);
    if (target_)
        index_ = target_->getSize();
    return true;
}

bool OutputDataBuffer::seekAbsolute(uint64_t position, LogBase& log) {
    if (rerouted_)
        return rerouteFile_->seekAbsolute(position, log);
    if (failed_ || position >= UINT32_MAX || !target_)
        return false;
    if (!target_->ensureCapacity(uint32_t(position) + 1))
        return false;
    index_ = uint32_t(position);
    return true;
}

uint64_t OutputDataBuffer::position() {
    return rerouted_ ? rerouteFile_->position() : index_;
}

bool OutputDataBuffer::reset(LogBase& log) {
    if (rerouted_)
        return rerouteFile_->reset(log);
    index_ = 0;
    if (target_)
        target_->clear();
    return true;
}

} // namespace vexmar

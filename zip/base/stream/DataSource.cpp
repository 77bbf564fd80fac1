#include "zip/base/stream/DataSource.h"

#include "zip/base/LogBase.h"
#include "zip/base/stream/ProgressMonitor.h"

namespace vexmar {

DataSource::~DataSource() = default;

void DataSource::close() {}

bool DataSource::readRaw(uint8_t*, uint32_t, uint32_t& count, bool& atEnd, ProgressMonitor*,
                         LogBase&) {
    count = 0;
    atEnd = true;
    return true;
}

bool DataSource::atEnd() {
    return true;
}
bool DataSource::seekAbsolute(int64_t) {
    return false;
}
bool DataSource::seekRelative(int64_t) {
    return false;
}
int64_t DataSource::position() {
    return 0;
}
void DataSource::rewind() {}
bool DataSource::scanForUint32(uint32_t) {
    return false;
}

bool DataSource::skipBytes(uint64_t n, ProgressMonitor* monitor, LogBase& log) {
    uint8_t discard[kCopyChunk];
    while (n > 0) {
        const uint32_t want = n > kCopyChunk ? kCopyChunk : uint32_t(n);
        uint32_t count = 0;
        bool end = false;
        if (!read(discard, want, count, end, monitor, log))
            return false;
        n -= count;
        if (end || count == 0)
            break;
    }
    return true;
}

bool DataSource::account(uint8_t* chunk, uint32_t n, LogBase& log) {
    totalRead_ += n;
    if (computeCrc_)
        crc_.update(chunk, n);
    return !transform_ || n == 0 || transform_->transform(chunk, n, log);
}

bool DataSource::reportProgress(uint32_t n, ProgressMonitor& monitor, LogBase& log) {
    const bool abort = progressByBytes_ ? monitor.progress(n, log) : monitor.heartbeatCheck();
    return !abort;
}

bool DataSource::read(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                      ProgressMonitor* monitor, LogBase& log) {
    count = 0;
    atEnd = false;
    if (!readRaw(buffer, max, count, atEnd, monitor, log) || !account(buffer, count, log))
        return false;
    if (monitor && !reportProgress(count, *monitor, log)) {
        log.logError("Source read aborted by application callback.");
        return false;
    }
    return true;
}

bool DataSource::lendRaw(const uint8_t*& data, uint32_t, uint32_t& count, bool& atEnd,
                         LogBase& log) {
    data = nullptr;
    count = 0;
    atEnd = true;
    log.logError("Internal error: this source cannot lend its bytes.");
    return false;
}

bool DataSource::readInPlace(const uint8_t*& data, uint32_t max, uint32_t& count, bool& atEnd,
                             ProgressMonitor* monitor, LogBase& log) {
    count = 0;
    atEnd = false;
    if (transform_) {
        log.logError("Internal error: transformed bytes cannot be read in place.");
        return false;
    }
    if (!lendRaw(data, max, count, atEnd, log))
        return false;
    totalRead_ += count;
    if (computeCrc_)
        crc_.update(data, count);
    if (monitor && !reportProgress(count, *monitor, log)) {
        log.logError("Source read aborted by application callback.");
        return false;
    }
    return true;
}

uint32_t DataSource::readExactly(uint8_t* buffer, uint32_t n, ProgressMonitor* monitor,
                                 LogBase& log) {
    uint32_t total = 0;
    while (total < n) {
        uint32_t count = 0;
        bool end = false;
        if (!read(buffer + total, n - total, count, end, monitor, log)) {
            if (monitor && monitor->abortFlag()) {
                log.logError("Read source bytes aborted by application callback.");
                return 0;
            }
            break;
        }
        total += count;
        if (end || count == 0)
            break;
    }
    return total;
}

} // namespace vexmar

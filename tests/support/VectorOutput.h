// An output that collects what is written in memory, for tests of decoders and adapters.
#pragma once

#include "zip/base/stream/Output.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// A write that would take the total past `capacity` bytes fails. With `offersRoom`, the output
// lends room for placing bytes, as a memory sink does; the room is followed by guard bytes that
// nothing may write.
class VectorOutput : public vexmar::Output {
public:
    static constexpr size_t kGuardBytes = 64;
    static constexpr uint8_t kGuardValue = 0xA5;

    VectorOutput() : vexmar::Output(kMemory) {}
    bool writeRaw(const uint8_t* bytes, uint64_t length, vexmar::ProgressMonitor*,
                  vexmar::LogBase&) override {
        if (length > capacity - written.size())
            return false;
        written.insert(written.end(), bytes, bytes + length);
        writeSizes.push_back(length);
        ++writes;
        return true;
    }

    // Whether the guard bytes after the lent room are as they were.
    bool guardIntact() const {
        return std::all_of(room.end() - static_cast<ptrdiff_t>(kGuardBytes), room.end(),
                           [](uint8_t b) { return b == kGuardValue; });
    }

    std::vector<uint8_t> written;
    std::vector<uint64_t> writeSizes;
    int writes = 0;
    uint64_t capacity = UINT64_MAX;
    bool offersRoom = false;
    std::vector<uint8_t> room = std::vector<uint8_t>(kGuardBytes, kGuardValue);
    int placedWrites = 0;

protected:
    uint8_t* rawPlaceArea(uint64_t length) override {
        if (!offersRoom)
            return nullptr;
        room.assign(length + kGuardBytes, kGuardValue);
        roomUsed_ = 0;
        return room.data();
    }
    bool storePlaced(const uint8_t* data, uint64_t length, vexmar::ProgressMonitor* monitor,
                     vexmar::LogBase& log) override {
        if (data != room.data() + roomUsed_ || length > room.size() - kGuardBytes - roomUsed_)
            return false;
        roomUsed_ += length;
        ++placedWrites;
        return writeRaw(data, length, monitor, log);
    }

private:
    size_t roomUsed_ = 0;
};

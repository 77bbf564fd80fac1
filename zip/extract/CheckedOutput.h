// An output in front of another that holds decoded data to what the entry's header
// promised: never more bytes than its size, and a CRC-32 to compare at the end.
#pragma once

#include "zip/base/checksum/ZipCRC.h"
#include "zip/base/stream/Output.h"

#include <cstdint>

namespace vexmar {

class CheckedOutput : public Output {
public:
    CheckedOutput(Output& target, uint64_t declaredSize);

    bool writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                  LogBase& log) override;

    uint64_t bytesPassed() const { return passed_; }
    uint32_t crc() const { return crc_.crc(); }

protected:
    // Placing goes through to the target, with the same checks as a write.
    uint8_t* rawPlaceArea(uint64_t length) override { return target_.placeArea(length); }
    bool storePlaced(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                     LogBase& log) override;

private:
    bool admit(const uint8_t* data, uint64_t length, LogBase& log);

    Output& target_;
    uint64_t declaredSize_;
    uint64_t passed_ = 0;
    vexmar::ZipCRC crc_;
};

} // namespace vexmar

#include "zip/base/text/MappingStream.h"

namespace vexmar {

namespace {

// A varint of at most five bytes; the stream is built in, so it is well formed,
// but a read never passes its end.
uint32_t readVarint(const uint8_t*& p, const uint8_t* end) {
    uint32_t value = 0;
    for (int shift = 0; p < end && shift < 35; shift += 7) {
        uint8_t byte = *p++;
        value |= uint32_t(byte & 0x7F) << shift;
        if (byte < 0x80)
            break;
    }
    return value;
}

} // namespace

uint32_t MappingStream::varint() {
    return readVarint(p_, end_);
}

bool MappingStream::next(MappingEntry& entry) {
    while (pending_ == 0) {
        if (p_ >= end_)
            return false;
        uint8_t op = *p_++;
        if (op == 0xFF) {
            if (p_ >= end_)
                return false;
            length_ = *p_++;
            code_ = varint() - 1;
        } else if (op >= 0xC0) {
            code_ += op - 0xC0 + 1u;
        } else {
            pending_ = (op < 0x80 ? op : op & 0x3F) + 1u;
            delta_ = op >= 0x80;
        }
    }
    --pending_;
    ++code_;
    if (delta_) {
        uint32_t z = varint();
        unit_ = char16_t(unit_ + ((z >> 1) ^ (0u - (z & 1))));
    } else {
        unit_ = char16_t(unit_ + 1);
    }
    entry = {code_, length_, unit_};
    return true;
}

bool PreferredStream::next(MappingEntry& entry) {
    if (p_ >= end_)
        return false;
    unit_ = char16_t(unit_ + readVarint(p_, end_));
    if (p_ >= end_ || *p_ > 4 || *p_ > end_ - p_ - 1)
        return false;
    uint8_t length = *p_++;
    uint32_t code = 0;
    for (uint8_t i = 0; i < length; ++i)
        code = code << 8 | *p_++;
    entry = {code, length, unit_};
    return true;
}

} // namespace vexmar

// Reads the compact form in which the code page mappings are built into the
// program: a byte stream of (byte sequence, UTF-16 unit) entries in the order
// of their sequences, shorter sequences first. Each op byte says what follows:
//   0x00-0x7F  n+1 entries, each the next sequence and the next unit
//   0x80-0xBF  n+1 entries, each the next sequence and the unit moved by a
//              signed delta (zigzag, 7 bits a byte, low bits first)
//   0xC0-0xFE  n+1 sequences without a mapping skipped
//   0xFF       a length byte and a varint: the sequences go on at that length,
//              from that value
// The generator (tools/codepages/gen_tables.py) writes it.
#pragma once

#include <cstdint>

namespace vexmar {

struct MappingEntry {
    uint32_t code; // the sequence's bytes, first byte highest
    uint8_t length;
    char16_t unit;
};

class MappingStream {
public:
    MappingStream(const uint8_t* data, uint32_t size) : p_(data), end_(data + size) {}
    // The next entry; false at the end of the stream.
    bool next(MappingEntry& entry);

private:
    uint32_t varint();

    const uint8_t* p_;
    const uint8_t* end_;
    uint32_t pending_ = 0; // entries left in the current op
    bool delta_ = false;   // they carry deltas
    uint8_t length_ = 1;
    uint32_t code_ = UINT32_MAX;
    char16_t unit_ = 0;
};

// The preferred sequences of units that several sequences decode to: a varint
// unit delta, a length byte and the sequence's bytes, for each.
class PreferredStream {
public:
    PreferredStream(const uint8_t* data, uint32_t size) : p_(data), end_(data + size) {}
    bool next(MappingEntry& entry);

private:
    const uint8_t* p_;
    const uint8_t* end_;
    char16_t unit_ = 0;
};

} // namespace vexmar

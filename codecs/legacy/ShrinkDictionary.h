// The string table of the shrink method (dynamic LZW). Each of its 8192 codes is a prefix code
// and a last byte: codes 0-255 stand for themselves, 256 is the control code, and the codes
// above are handed out as the data goes and given back by partial clearing.
#pragma once

#include <cstdint>
#include <memory>

namespace vexmar {

class ShrinkDictionary {
public:
    static constexpr uint32_t kCodes = 8192;
    static constexpr uint32_t kControlCode = 256;

    // False when memory runs out.
    bool allocate();

    bool isFree(uint32_t code) const { return prefix_[code] == kFree; }
    // The lowest free code above the last one added (above 256 after a partial clear), or
    // kCodes when every code is in use.
    uint32_t nextFree();
    // Gives `code` (from nextFree) the string of `prefix` followed by `last`.
    void add(uint32_t code, uint32_t prefix, uint8_t last);
    // Frees every code above 256 that no other code has as its prefix.
    void partialClear();

    // Writes the string of `code` so that it ends just before `end`, and returns where it
    // starts. Null when the string would not fit above `begin`, which happens only when
    // the prefix chain loops, or when the chain meets a free code or the control code.
    uint8_t* expand(uint32_t code, uint8_t* begin, uint8_t* end) const;

private:
    static constexpr uint16_t kFree = kCodes;
    static constexpr uint16_t kRoot = kControlCode; // the prefix of codes 0-255
    static constexpr uint16_t kHasChild = 0x4000;   // marks kept codes during a partial clear

    std::unique_ptr<uint16_t[]> prefix_;
    std::unique_ptr<uint8_t[]> last_;
    uint32_t searchFrom_ = kControlCode + 1;
    // Above the highest code in use: partial clears look no further, so that a stream of
    // clears with few codes between them costs little.
    uint32_t top_ = kControlCode + 1;
};

} // namespace vexmar

// Mac Arabic (10004) keeps right-to-left text in display order and has
// right-to-left copies of the digits and of ASCII punctuation. Before its table
// is used, the text is put in logical order and the copies become plain bytes.
#include "zip/base/text/CodePageTable.h"
#include "zip/base/text/StatefulCoders.h"

#include <algorithm>

namespace vexmar {

namespace textcoders {

namespace {

bool isRightToLeft(uint8_t b) {
    return kRightToLeft10004[b >> 3] >> (b & 7) & 1;
}

// The byte a right-to-left copy stands for, or the byte itself.
uint8_t plainByte(uint8_t b) {
    if (b >= 0xB0 && b <= 0xB9) // digits
        return uint8_t(b - 0x80);
    if (b >= 0xA0 && b <= 0xAF && b != 0xA5 && b != 0xAC)
        return uint8_t(b - 0x80);
    switch (b) {
    case 0xBA:
    case 0xBC:
    case 0xBD:
    case 0xBE:
    case 0xDB:
    case 0xDC:
    case 0xDD:
    case 0xDE:
    case 0xDF:
    case 0xFB:
    case 0xFC:
    case 0xFD:
        return uint8_t(b - 0x80);
    case 0x81:
        return 0xA0;
    default:
        return b;
    }
}

} // namespace

void prepareMacArabic(uint8_t* s, uint32_t length) {
    uint8_t* end = s + length;
    for (uint8_t* p = s; p < end;) {
        if (!isRightToLeft(*p)) {
            ++p;
            continue;
        }
        uint8_t* run = p;
        while (p < end && isRightToLeft(*p))
            ++p;
        if (p - run >= 2)
            std::reverse(run, p);
    }
    for (uint8_t* p = s; p < end; ++p)
        *p = plainByte(*p);
}

} // namespace textcoders

} // namespace vexmar

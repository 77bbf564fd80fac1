// ISO-2022-JP (code pages 50220-50222, read and written alike) to and from
// Shift-JIS: JIS X 0208 in two 7-bit bytes after ESC $ B (or ESC $ @), ASCII
// after ESC ( B (or ESC ( J), half-width katakana after ESC ( I or SO.
#include "zip/base/text/StatefulCoders.h"
#include "zip/base/DataBuffer.h"

namespace vexmar {

namespace textcoders {

namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kShiftOut = 0x0E;
constexpr uint8_t kShiftIn = 0x0F;

enum class Mode { kAscii, kJis0208, kKana };

// The JIS X 0208 code of each half-width katakana 0xA1-0xDF: its full-width form.
constexpr uint16_t kFullWidthKana[63] = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529,
    0x2563, 0x2565, 0x2567, 0x2543, 0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B,
    0x252D, 0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, 0x2541,
    0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D, 0x254E, 0x254F, 0x2552, 0x2555,
    0x2558, 0x255B, 0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569,
    0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C,
};
constexpr uint8_t kVoicedMark = 0xDE;     // half-width dakuten
constexpr uint8_t kSemiVoicedMark = 0xDF; // half-width handakuten

// The full-width code of half-width kana `b` joined with the mark that follows
// it, or 0 when the two do not join.
uint16_t joinedKana(uint8_t b, uint8_t mark) {
    bool kaToTo = b >= 0xB6 && b <= 0xC4;
    bool haToHo = b >= 0xCA && b <= 0xCE;
    if (mark == kVoicedMark) {
        if (b == 0xB3)
            return 0x2574; // VU
        if (kaToTo || haToHo)
            return uint16_t(kFullWidthKana[b - 0xA1] + 1);
    } else if (mark == kSemiVoicedMark && haToHo) {
        return uint16_t(kFullWidthKana[b - 0xA1] + 2);
    }
    return 0;
}

bool isJisByte(uint8_t b) {
    return b >= 0x21 && b <= 0x7E;
}

void jisToShiftJis(uint8_t j1, uint8_t j2, uint8_t* s) {
    s[0] = uint8_t(((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0));
    if (j1 & 1)
        s[1] = uint8_t(j2 + (j2 >= 0x60 ? 0x20 : 0x1F));
    else
        s[1] = uint8_t(j2 + 0x7E);
}

// False when the Shift-JIS pair has no JIS X 0208 code (user-defined and
// extension rows).
bool shiftJisToJis(uint8_t s1, uint8_t s2, uint8_t* j) {
    if (s2 < 0x40 || s2 == 0x7F || s2 > 0xFC)
        return false;
    int row = (s1 - (s1 <= 0x9F ? 0x70 : 0xB0)) * 2;
    if (s2 < 0x9F) {
        row -= 1;
        j[1] = uint8_t(s2 - (s2 >= 0x80 ? 0x20 : 0x1F));
    } else {
        j[1] = uint8_t(s2 - 0x7E);
    }
    j[0] = uint8_t(row);
    return isJisByte(j[0]);
}

bool isShiftJisLead(uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace

Result iso2022JpToShiftJis(const uint8_t* s, uint32_t length, DataBuffer& out) {
    const uint8_t* end = s + length;
    Mode mode = Mode::kAscii;
    Mode beforeShiftOut = Mode::kAscii;
    Result result = Result::kOk;
    while (s < end) {
        uint8_t b = *s;
        if (b == kEsc && end - s >= 3) {
            if (s[1] == '$' && (s[2] == 'B' || s[2] == '@')) {
                mode = Mode::kJis0208;
                s += 3;
                continue;
            }
            if (s[1] == '(' && (s[2] == 'B' || s[2] == 'J')) {
                mode = Mode::kAscii;
                s += 3;
                continue;
            }
            if (s[1] == '(' && s[2] == 'I') {
                mode = Mode::kKana;
                s += 3;
                continue;
            }
        }
        if (b == kShiftOut || b == kShiftIn) {
            if (b == kShiftOut && mode != Mode::kKana)
                beforeShiftOut = mode;
            mode = b == kShiftOut ? Mode::kKana : beforeShiftOut;
            ++s;
            continue;
        }
        uint8_t sjis[2];
        bool ok = true;
        if (mode == Mode::kJis0208 && isJisByte(b)) {
            ok = end - s >= 2 && isJisByte(s[1]);
            if (ok) {
                jisToShiftJis(b, s[1], sjis);
                ok = out.append(sjis, 2);
                if (!ok)
                    return Result::kOutOfMemory;
                s += 2;
                continue;
            }
        } else if (mode == Mode::kKana && b >= 0x21 && b <= 0x5F) {
            b = uint8_t(b + 0x80);
        } else if (b == kEsc) {
            ok = false; // an escape sequence not known here
        }
        if (!ok) {
            result = Result::kBadInput;
            ++s;
            continue;
        }
        if (!out.appendByte(b))
            return Result::kOutOfMemory;
        ++s;
    }
    return result;
}

Result shiftJisToIso2022Jp(const uint8_t* s, uint32_t length, DataBuffer& out) {
    static constexpr uint8_t kToAscii[3] = {kEsc, '(', 'B'};
    static constexpr uint8_t kToJis0208[3] = {kEsc, '$', 'B'};
    const uint8_t* end = s + length;
    Mode mode = Mode::kAscii;
    Result result = Result::kOk;
    auto switchTo = [&](Mode wanted) {
        if (mode == wanted)
            return true;
        mode = wanted;
        return out.append(wanted == Mode::kAscii ? kToAscii : kToJis0208, 3);
    };
    while (s < end) {
        uint8_t b = *s;
        uint8_t jis[2];
        uint32_t used = 1;
        if (b < 0x80) {
            if (!switchTo(Mode::kAscii) || !out.appendByte(b))
                return Result::kOutOfMemory;
            ++s;
            continue;
        }
        bool ok = false;
        if (b >= 0xA1 && b <= 0xDF) {
            // Half-width katakana become full-width, with a sound mark that
            // follows joined to its base.
            uint16_t code = end - s >= 2 ? joinedKana(b, s[1]) : 0;
            used = code ? 2 : 1;
            if (!code)
                code = kFullWidthKana[b - 0xA1];
            jis[0] = uint8_t(code >> 8);
            jis[1] = uint8_t(code);
            ok = true;
        } else if (isShiftJisLead(b) && end - s >= 2) {
            used = 2;
            ok = shiftJisToJis(b, s[1], jis);
        }
        s += used;
        if (!ok) {
            result = Result::kBadInput;
            continue;
        }
        if (!switchTo(Mode::kJis0208) || !out.append(jis, 2))
            return Result::kOutOfMemory;
    }
    if (!switchTo(Mode::kAscii))
        return Result::kOutOfMemory;
    return result;
}

} // namespace textcoders

} // namespace vexmar

#include "codecs/legacy/Unshrink.h"

#include "codecs/legacy/BoundedSink.h"
#include "codecs/legacy/LsbBitReader.h"
#include "codecs/legacy/ShrinkDictionary.h"
#include "zip/base/LogBase.h"

#include <memory>
#include <new>

namespace vexmar {

namespace {

constexpr unsigned kFirstCodeSize = 9;
constexpr unsigned kLastCodeSize = 13;
// What follows the control code.
constexpr uint32_t kGrowCodeSize = 1;
constexpr uint32_t kPartialClear = 2;

// A string of the table is at most one byte per code; the case of a code not yet in the table
// adds one more byte.
constexpr uint32_t kStackSize = ShrinkDictionary::kCodes;

bool invalidCode(uint32_t code, LogBase& log) {
    log.logError("(Unshrink) Invalid code.");
    log.logDataInt("code", int(code));
    return false;
}

} // namespace

bool Unshrink::decode(const uint8_t* data, uint32_t length, uint64_t expectedSize, LogBase& log,
                      DataBuffer& out) {
    ShrinkDictionary table;
    std::unique_ptr<uint8_t[]> stack(new (std::nothrow) uint8_t[kStackSize]);
    if (!stack || !table.allocate())
        return false;
    uint8_t* const stackEnd = stack.get() + kStackSize;

    LsbBitReader in(data, length);
    BoundedSink sink(out, expectedSize);
    unsigned codeSize = kFirstCodeSize;
    if (sink.full())
        return true;
    if (in.bitsLeft() < codeSize) {
        sink.noteEnd(log);
        return true;
    }
    // The first code is a byte: the table holds nothing else yet.
    uint32_t previous = in.read(codeSize);
    if (!sink.put(uint8_t(previous), log))
        return false;

    while (!sink.full() && in.bitsLeft() >= codeSize) {
        const uint32_t code = in.read(codeSize);
        if (code == ShrinkDictionary::kControlCode) {
            if (in.bitsLeft() < codeSize)
                break;
            const uint32_t action = in.read(codeSize);
            if (action == kGrowCodeSize && codeSize < kLastCodeSize)
                ++codeSize;
            else if (action == kPartialClear)
                table.partialClear();
            continue;
        }

        const uint32_t added = table.nextFree();
        uint8_t* string;
        if (table.isFree(code)) {
            // The encoder sent the code it has just added and the decoder is about to add:
            // the previous string followed by its own first byte. Any other free code is read
            // the same way; a string later built on it fails to expand.
            string = table.expand(previous, stack.get(), stackEnd - 1);
            if (string)
                stackEnd[-1] = *string;
        } else {
            string = table.expand(code, stack.get(), stackEnd);
        }
        if (!string)
            return invalidCode(code, log);
        if (!sink.put(string, uint32_t(stackEnd - string), log))
            return false;

        if (added < ShrinkDictionary::kCodes)
            table.add(added, previous, *string);
        previous = code;
    }
    sink.noteEnd(log);
    return true;
}

} // namespace vexmar

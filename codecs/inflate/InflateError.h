// Why the decoder gave up on a stream. The number is what the log records as "decodeErrNum";
// stored logs and callers know the errors by it, so each keeps its value.
#pragma once

namespace vexmar {

enum class InflateError : int {
    kZlibHeader = 1,        // the zlib wrapper's two bytes are not a valid header
    kCodeLengthCode = 2,    // a code-length code without a symbol
    kLiteralLengthCode = 3, // a literal/length code without a symbol, or symbol 286 or 287
    kLiteralWrite = 4,      // the output refused a literal
    kDistanceCode = 5,      // a distance code without a symbol, or 30 or 31 outside Deflate64
    kMatchCopy = 6,         // a match reaching before the data, or the output refused it
    kStoredLength = 7,      // a stored block's length and its complement disagree
    kStoredWrite = 8,       // the output refused a stored block's bytes
    kReservedBlockType = 9, // block type 3
};

} // namespace vexmar

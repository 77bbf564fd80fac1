// The toolkit's error codes and their default messages.
#pragma once

#include <cstdint>

namespace Quillkit {

namespace ErrorCode {
constexpr int32_t kNone = 0;
constexpr int32_t kInternal = -1;      // also: an exception of an unrecognised type
constexpr int32_t kFatalRuntime = -10; // failed message formatting
constexpr int32_t kOutOfMemory = -11;
constexpr int32_t kWindows = -12;      // a platform function failed
constexpr int32_t kCRuntime = -13;     // a C runtime function failed
constexpr int32_t kTool = -20;         // a tool or library failed
constexpr int32_t kInternalTool = -21; // an internal tool or library failed
constexpr int32_t kImproperCall = -30; // improper call or argument
constexpr int32_t kWrongOrder = -31;   // calls in an incorrect order
constexpr int32_t kMissing = -32;      // a file, directory or other data is missing
constexpr int32_t kBadInput = -33;     // input data has errors
constexpr int32_t kParameter = -40;    // internal parameter error
constexpr int32_t kInvalidPath = -41;
constexpr int32_t kErrorInError = -99; // error while processing an error
constexpr int32_t kAbort = -100;       // abort requested
} // namespace ErrorCode

// The string id of a code's default message; codes not in the map take that of
// kInternal.
uint32_t ErrorCodeToMessageId(int32_t code);

} // namespace Quillkit

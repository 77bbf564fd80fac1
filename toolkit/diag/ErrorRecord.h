// One reported error: what the shared output data keeps as the pending error and
// in its history.
#pragma once

#include "toolkit/diag/Text.h"

#include <cstdint>

namespace Quillkit {

// Kinds of records. Any other kind is reported as a warning.
constexpr int32_t kKindNote = 10;
constexpr int32_t kKindError = 20;

struct ErrorRecord {
    int32_t kind = 0;
    int32_t code = 0;  // 0: no error
    WString summary;   // short localised text
    WString detail;    // localised explanation, inserts filled in
    WString debugText; // English, for the debug log only
};

} // namespace Quillkit

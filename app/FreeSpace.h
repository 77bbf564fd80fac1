// Whether the payload fits on the volume it is to be written to: the bytes to
// write plus a margin (5%, at least 16 MiB, for the file system's own use and
// rounding) must not exceed the volume's free space.
#pragma once

#include "os/WideText.h"

#include <cstdint>

inline constexpr uint64_t kMebibyte = uint64_t(1) << 20;
inline constexpr uint64_t kMinimumSpaceMargin = 16 * kMebibyte;

// The bytes to write plus the margin; saturates instead of wrapping around.
uint64_t SpaceNeeded(uint64_t bytesToWrite);

// Whole MiB, rounded up (for what is needed) or down (for what is free), so that
// a refusal never reads "needs 20 MB, 20 MB free".
uint64_t MegabytesRoundedUp(uint64_t bytes);
uint64_t MegabytesRoundedDown(uint64_t bytes);

// Adds two sizes, saturating: the sizes come from the archive and may be hostile.
uint64_t AddSizes(uint64_t a, uint64_t b);

struct SpaceVerdict {
    bool known = false;   // the system named the free space of `folder` or of a parent
    bool fits = true;     // true as well when the free space is unknown
    uint64_t needed = 0;  // SpaceNeeded(bytesToWrite)
    uint64_t free = 0;    // the free space, when known
    os::wstring askedFor; // the folder whose volume answered
    uint32_t error = 0;   // the system's code when it could not say
};

// Asks the volume of `folder`; a folder not created yet is answered for by its
// nearest existing parent.
SpaceVerdict CheckFreeSpace(const os::wstring& folder, uint64_t bytesToWrite);

// `folder` without its last component, keeping the separator ("C:\a\b\" gives
// "C:\a\"); empty when there is no parent left ("C:\" or a bare name).
os::wstring ParentFolder(const os::wstring& folder);

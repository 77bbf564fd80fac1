// Probes and services that depend on the Windows version.
#pragma once

#include <cstdint>
#include <optional>

namespace Quillkit {

// 100 × major + minor on an NT-family system (600 for Vista, 601 for Windows 7),
// 0 on any other. Computed once.
int GetWindowsVersion();

// Records the running executable in the program compatibility assistant's store,
// so that the assistant does not ask afterwards whether it installed correctly.
// Mode 0 needs version 601, mode 1 version 600. Failures are silent.
void SetCompatibilityAssistantFlag(int mode);

// The value the marker gets for `mode` on `version`: 1 for mode 0, 0x20 for mode
// 1, nothing when the mode is unknown or the version too low.
std::optional<uint32_t> CompatibilityMarkerValue(int mode, int version);

} // namespace Quillkit

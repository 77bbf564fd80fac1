// Free space first: before the payload is written, its size plus a margin is
// compared with the free space of the target volume.
#pragma once

#include <cstdint>

// True when `bytesToWrite` (what the extraction is about to write, not what the
// folder already holds) fits below `directory`, or when the volume cannot say how
// much is free. Otherwise the refusal is shown (or only logged, when quiet) and
// the caller writes nothing.
bool PayloadFits(uint64_t bytesToWrite, const wchar_t* directory);

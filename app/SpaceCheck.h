// Free space first: before the payload is written, its size plus a margin is
// compared with the free space of the target volume.
#pragma once

class VxZipW;

// True when the open payload fits below `directory`, or when the volume cannot
// say how much is free. Otherwise the refusal is shown (or only logged, when
// quiet) and the caller writes nothing.
bool PayloadFits(VxZipW& zip, const wchar_t* directory);

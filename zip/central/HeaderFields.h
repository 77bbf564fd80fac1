// The run of fields a central and a local header share, from "version needed" to
// "extra length": parsed and logged once for both.
#pragma once

#include "zip/central/ZipEntryInfo.h"

namespace vexmar {

class LogBase;

// `at` points at the "version needed" field.
void parseHeaderFields(const uint8_t* at, ZipHeaderFields& h);
// The shared fields as verbose data items; the sizes are the 32-bit header values.
void logHeaderFields(const ZipHeaderFields& h, LogBase& log);

} // namespace vexmar

// The code pages the platform says text is in.
#pragma once

namespace os {

// The OEM code page: what archives written on this machine use for entry names.
// Windows asks the system; elsewhere it is 437, the ZIP format's historical default.
int oemCodePage();

// The ANSI code page: the 8-bit form of strings in this process. Windows asks the
// system; elsewhere the process speaks UTF-8 (65001).
int ansiCodePage();

} // namespace os

#include "os/CodePage.h"

#include <windows.h>

namespace os {

int oemCodePage() { return static_cast<int>(GetOEMCP()); }
int ansiCodePage() { return static_cast<int>(GetACP()); }

} // namespace os

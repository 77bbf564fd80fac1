#include "os/CodePage.h"

namespace os {

int oemCodePage() { return 437; }
int ansiCodePage() { return 65001; }

} // namespace os

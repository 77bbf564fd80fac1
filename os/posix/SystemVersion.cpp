#include "os/SystemVersion.h"

namespace os {

bool windowsNtVersion(uint32_t&, uint32_t&) {
    return false;
}

} // namespace os

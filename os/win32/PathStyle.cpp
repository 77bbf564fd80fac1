#include "os/PathStyle.h"

namespace os {

char pathSeparator() {
    return '\\';
}

} // namespace os

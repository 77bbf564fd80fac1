#include "toolkit/platform/WaitWithMessages.h"

namespace Quillkit {

uint32_t WaitWithMessages(os::WaitHandle handle) {
    return os::waitWithMessages(handle);
}

} // namespace Quillkit

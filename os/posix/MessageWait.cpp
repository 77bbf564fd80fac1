#include "os/MessageWait.h"

#include <cerrno>
#include <poll.h>

namespace os {

uint32_t waitWithMessages(WaitHandle handle) {
    pollfd wanted{int(handle), POLLIN, 0};
    int n;
    do {
        n = poll(&wanted, 1, -1);
    } while (n < 0 && errno == EINTR);
    if (n != 1 || (wanted.revents & POLLNVAL))
        return kWaitFailed;
    return kWaitSignalled;
}

} // namespace os

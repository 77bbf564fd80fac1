#include "os/Terminal.h"

#include <unistd.h>

namespace os {

bool stdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

} // namespace os

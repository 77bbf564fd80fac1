#include "os/Terminal.h"

#include <cstdio>
#include <io.h>

namespace os {

bool stdoutIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

} // namespace os

#include "tools/vxzip/ProgressLine.h"

#include "os/Terminal.h"

#include <cstdio>

using namespace vexmar;

namespace vxzip {

ProgressLine::ProgressLine() : terminal_(os::stdoutIsTerminal()) {}

ProgressLine::~ProgressLine() {
    finish();
}

void ProgressLine::finish() {
    if (shown_)
        std::fputs("\r     \r", stdout);
    shown_ = false;
}

void ProgressLine::percentDone(int percent, bool* abort) {
    *abort = false;
    if (!terminal_)
        return;
    std::printf("\r%3d%%", percent);
    std::fflush(stdout);
    shown_ = true;
}

} // namespace vxzip

// A percent line on the terminal while a long run goes on; silent when stdout is not a terminal.
#pragma once

#include "zip/facade/VxProgress.h"

namespace vxzip {

class ProgressLine : public vexmar::VxZipProgressW {
public:
    ProgressLine();
    ~ProgressLine() override;
    void percentDone(int percent, bool* abort) override;
    // Clears the line, so that what follows starts on a clean one.
    void finish();

private:
    bool shown_ = false;
    bool terminal_;
};

} // namespace vxzip

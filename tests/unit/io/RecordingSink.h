// An event sink that records the progress calls it receives and answers abort
// when told to.
#pragma once

#include "zip/base/stream/ProgressEvent.h"

#include <vector>

struct RecordingSink : vexmar::ProgressEvent {
    std::vector<int32_t> percents;
    int abortChecks = 0;
    // Answer abort from this percentDone call on (1 = the first); 0 never.
    int abortOnPercentCall = 0;
    bool abortOnCheck = false;

    void percentDone(int32_t percent, bool* abort) override {
        percents.push_back(percent);
        *abort = abortOnPercentCall != 0 && int(percents.size()) >= abortOnPercentCall;
    }
    void abortCheck(bool* abort) override {
        ++abortChecks;
        *abort = abortOnCheck;
    }
};

#include "app/FreeSpace.h"

#include "os/DiskSpace.h"

#include <limits>

namespace {

constexpr uint64_t kMaxSize = std::numeric_limits<uint64_t>::max();

bool isSeparator(os::wchar c) {
    return c == u'\\' || c == u'/';
}

} // namespace

uint64_t AddSizes(uint64_t a, uint64_t b) {
    return a > kMaxSize - b ? kMaxSize : a + b;
}

uint64_t SpaceNeeded(uint64_t bytesToWrite) {
    // 5%, rounded up.
    uint64_t margin = bytesToWrite / 20 + (bytesToWrite % 20 != 0 ? 1 : 0);
    if (margin < kMinimumSpaceMargin)
        margin = kMinimumSpaceMargin;
    return AddSizes(bytesToWrite, margin);
}

uint64_t MegabytesRoundedUp(uint64_t bytes) {
    return bytes / kMebibyte + (bytes % kMebibyte != 0 ? 1 : 0);
}

uint64_t MegabytesRoundedDown(uint64_t bytes) {
    return bytes / kMebibyte;
}

os::wstring ParentFolder(const os::wstring& folder) {
    size_t end = folder.size();
    while (end > 0 && isSeparator(folder[end - 1]))
        --end;
    while (end > 0 && !isSeparator(folder[end - 1]))
        --end;
    // Only separators left ("\\" of a server name, or "/"): nothing to ask.
    size_t kept = end;
    while (kept > 0 && isSeparator(folder[kept - 1]))
        --kept;
    return kept == 0 ? os::wstring() : folder.substr(0, end);
}

SpaceVerdict CheckFreeSpace(const os::wstring& folder, uint64_t bytesToWrite) {
    SpaceVerdict verdict;
    verdict.needed = SpaceNeeded(bytesToWrite);
    for (os::wstring asked = folder; !asked.empty(); asked = ParentFolder(asked)) {
        uint64_t free = 0;
        if (os::freeDiskSpace(asked.c_str(), free, verdict.error)) {
            verdict.known = true;
            verdict.free = free;
            verdict.fits = verdict.needed <= free;
            verdict.askedFor = asked;
            verdict.error = 0;
            break;
        }
    }
    return verdict;
}

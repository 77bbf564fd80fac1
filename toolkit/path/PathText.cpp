// Rewrites of raw path text: trailing backslashes, parent directory, normal form.
#include "toolkit/path/StrictPath.h"

#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/Raise.h"

#include <cstring>

namespace Quillkit {

namespace {

size_t length(const WChar* text) {
    return os::wideLength(text);
}

// Removes `count` units at `at`, with the terminator.
void erase(WChar* text, size_t at, size_t count) {
    const size_t total = length(text);
    std::memmove(text + at, text + at + count, (total - at - count + 1) * sizeof(WChar));
}

bool endsWith(const WChar* text, size_t size, const WChar* tail) {
    const size_t n = length(tail);
    return size >= n && std::memcmp(text + size - n, tail, n * sizeof(WChar)) == 0;
}

} // namespace

void AppendLastSlash(WChar* text) {
    if (!text) {
        RaiseErrorMessage(ErrorCode::kParameter, QK_TEXT("Quillkit: Passed NULL string to %s"),
                          QK_TEXT("Quillkit::AppendLastSlash"));
        return;
    }
    const size_t n = length(text);
    if (n > 0 && text[n - 1] != '\\') {
        text[n] = '\\';
        text[n + 1] = 0;
    }
}

void RemoveLastSlash(WChar* text) {
    if (!text) {
        RaiseErrorMessage(ErrorCode::kParameter, QK_TEXT("Quillkit: Passed NULL string to %s"),
                          QK_TEXT("Quillkit::RemoveLastSlash"));
        return;
    }
    const size_t n = length(text);
    if (n > 0 && text[n - 1] == '\\')
        text[n - 1] = 0;
}

void ParentOfPath(WChar* text, size_t capacity) {
    RemoveLastSlash(text);
    size_t n = length(text);
    if (n == 0) {
        if (capacity > 3) {
            const WChar up[] = {'.', '.', '\\', 0};
            std::memcpy(text, up, sizeof up);
        }
        return;
    }
    if (endsWith(text, n, QK_TEXT(".."))) {
        const WChar more[] = {'\\', '.', '.', '\\', 0};
        if (n + 4 < capacity)
            std::memcpy(text + n, more, sizeof more);
        return;
    }
    WChar* rest = text;
    if (n >= 2 && text[0] == '\\' && text[1] == '\\') {
        // The server name is part of the root, never a parent to cut back to.
        WChar* afterServer = nullptr;
        for (WChar* p = text + 2; *p; ++p)
            if (*p == '\\') {
                afterServer = p;
                break;
            }
        if (!afterServer) {
            text[0] = 0;
            return;
        }
        rest = afterServer + 1;
    }
    WChar* last = nullptr;
    for (WChar* p = rest; *p; ++p)
        if (*p == '\\')
            last = p;
    if (last)
        last[1] = 0;
    else
        text[0] = 0;
}

void NormalizePathText(WChar* text) {
    size_t i = 0;
    if (length(text) >= 4 && text[0] == '\\' && text[1] == '\\' && text[2] != '\\')
        i = 2;
    while (text[i]) {
        if (text[i] == '\\') {
            size_t run = i + 1;
            while (text[run] == '\\')
                ++run;
            if (run > i + 1)
                erase(text, i + 1, run - i - 1);
            if (i == 0) {
                erase(text, 0, 1);
                continue;
            }
        }
        const bool componentStart = i == 0 || text[i - 1] == '\\';
        if (componentStart && text[i] == '.' && text[i + 1] == '\\') {
            erase(text, i, 2);
            continue;
        }
        if (componentStart && text[i] == '.' && text[i + 1] == '.' && text[i + 2] == '\\') {
            if (i == 0) {
                i += 3;
                continue;
            }
            size_t start = 0;
            if (i >= 2) {
                for (size_t k = i - 1; k-- > 0;)
                    if (text[k] == '\\') {
                        start = k + 1;
                        break;
                    }
            }
            if (text[start] == '.' && text[start + 1] == '.' && text[start + 2] == '\\') {
                i += 3;
                continue;
            }
            erase(text, start, i + 3 - start);
            i = start;
            continue;
        }
        ++i;
    }
}

} // namespace Quillkit

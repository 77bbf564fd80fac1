#include "zip/extract/NamePattern.h"

namespace vexmar {

namespace {

char folded(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

bool matchesNamePattern(const char* name, const char* pattern) {
    // Greedy matching with one backtrack point: the last `*` seen.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = ++pattern;
            resume = name;
        } else if (folded(*pattern) == folded(*name)) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

} // namespace vexmar

// Validity tags: a fixed value an object writes on construction and clears on
// destruction. A wrong tag means the object is corrupt or already gone; going on
// would only spread the damage, so the process stops at once.
#pragma once

#include <cstdlib>

template <typename T> inline void checkValidityTag(T actual, T expected) {
    if (actual != expected)
        std::abort();
}

// Validity tags: a fixed value an object writes on construction and clears on
// destruction. A wrong tag means the object is corrupt or already gone; going on
// would only spread the damage, so the process stops at once.
#pragma once

#include <cstdlib>

namespace vexmar {

template <typename T> inline void checkValidityTag(T actual, T expected) {
    if (actual != expected)
        std::abort();
}

// A volatile store: the compiler would otherwise drop a write to an object
// whose lifetime is ending, and a destroyed object would keep its tag.
template <typename T> inline void clearValidityTag(T& tag) {
    *const_cast<volatile T*>(&tag) = 0;
}

} // namespace vexmar

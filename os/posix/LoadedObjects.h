// The dynamic linker's list of loaded objects, each named by its mapping base
// (what dladdr reports as dli_fbase), which serves as the POSIX module handle.
#pragma once

#include <functional>
#include <string>

namespace os {

struct LoadedObject {
    void* base = nullptr;
    std::string path; // empty for the main program
    bool isMain = false;
};

// Calls `visit` for each object, main program first, until it returns false.
void forEachLoadedObject(const std::function<bool(const LoadedObject&)>& visit);

// A dlopen handle for a loaded object (one reference, to be dlclose'd), or null.
void* openLoadedObject(void* base);

} // namespace os

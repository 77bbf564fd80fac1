#include "os/FileMapping.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

// The mapping keeps a descriptor of its own, so that it outlives the file's
// handle as a Windows mapping object does.
MappingHandle createReadOnlyMapping(FileHandle file, uint32_t& error) {
    struct stat info;
    if (fstat(int(file), &info) != 0) {
        error = uint32_t(errno);
        return kNoMapping;
    }
    if (info.st_size == 0) {
        error = EINVAL;
        return kNoMapping;
    }
    const int copy = fcntl(int(file), F_DUPFD_CLOEXEC, 0);
    if (copy < 0) {
        error = uint32_t(errno);
        return kNoMapping;
    }
    return copy;
}

const void* mapReadOnlyView(MappingHandle mapping, uint64_t size, uint32_t& error,
                            bool readingAll) {
    const size_t length = size_t(size);
    if (size == 0 || length != size) {
        error = EINVAL;
        return nullptr;
    }
    int flags = MAP_SHARED;
#ifdef MAP_POPULATE
    // Linux maps every page of the file at once, without a fault for each.
    if (readingAll)
        flags |= MAP_POPULATE;
#endif
    void* view = mmap(nullptr, length, PROT_READ, flags, int(mapping), 0);
    if (view == MAP_FAILED) {
        error = uint32_t(errno);
        return nullptr;
    }
#ifndef MAP_POPULATE
    if (readingAll)
        posix_madvise(view, length, POSIX_MADV_WILLNEED);
#endif
    return view;
}

void unmapView(const void* view, uint64_t size) {
    if (view)
        munmap(const_cast<void*>(view), size_t(size));
}

void closeMapping(MappingHandle mapping) {
    if (mapping != kNoMapping)
        close(int(mapping));
}

} // namespace os

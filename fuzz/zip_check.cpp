// The quick look at a ZIP file before embedding, over the input as the file.
// Reads outside the input fail as they would past the end of a file; a read
// asked for anywhere else must stay inside the buffer it fills.
#include "zip/facade/ZipFileCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace vexmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkZipDirectory(size, [&](uint64_t offset, uint8_t* out, uint32_t length) {
        if (offset > size || length > size - offset)
            return false;
        std::memcpy(out, data + offset, length);
        return true;
    });
    return 0;
}

#include "app/PackedStrings.h"

#include "codecs/lzma/LzmaUnpack.h"
#include "os/Resources.h"

#include <memory>
#include <new>

namespace Pellquin {

bool RegisterPackedStrings(const PackedStringTables& tables, os::ModuleHandle module) {
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[tables.unpackedSize]);
    std::unique_ptr<os::ResourceEntry[]> entries(new (std::nothrow)
                                                     os::ResourceEntry[tables.count]);
    if (!data || !entries ||
        !vexmar::lzmaUnpack(tables.packed, tables.packedSize, data.get(), tables.unpackedSize))
        return false;
    for (uint32_t i = 0; i < tables.count; ++i) {
        const PackedStringBlock& block = tables.blocks[i];
        if (block.offset > tables.unpackedSize || block.size > tables.unpackedSize - block.offset)
            return false;
        entries[i] = {os::kResourceTypeString, block.number, block.language, block.size,
                      data.get() + block.offset};
    }
    // Registered resources live as long as the process.
    os::registerResources(module, entries.release(), tables.count);
    data.release();
    return true;
}

} // namespace Pellquin

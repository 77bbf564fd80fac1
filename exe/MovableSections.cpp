// Which sections may follow .rsrc. The rewriter moves every section after it
// and updates only the data directories, the symbol table pointer and the debug
// entries: code or data that other sections refer to by address would be cut
// off from those references, so such an image is refused.
#include "exe/ExeImage.h"

#include "exe/PeFormat.h"
#include "zip/base/LogBase.h"

#include <cstring>

namespace vexmar {

using namespace pe;

namespace {

bool isDebugName(const ExeSection& section) {
    return std::memcmp(section.name, ".debug_", 7) == 0;
}

bool isDiscardable(const ExeSection& section) {
    return le32(section.rest + kCharacteristicsInRest) & kScnMemDiscardable;
}

} // namespace

bool ExeImage::laterSectionsMovable(uint32_t resourceIndex, LogBase& log) const {
    for (size_t i = resourceIndex + 1; i < loadedSections_.size(); ++i) {
        const ExeSection& section = loadedSections_[i];
        if (section.hasName(".reloc") || isDebugName(section))
            continue;
        // A discardable section is loaded for nobody unless a directory names it.
        bool named = false;
        for (uint32_t d = 0; d < loadedNt_.numDataDirectories() && !named; ++d) {
            const ExeDataDirectory directory = loadedNt_.dataDirectory(d);
            named = d != kDirCertificate && directory.rva != 0 &&
                    section.containsRva(directory.rva);
        }
        if (isDiscardable(section) && !named)
            continue;
        log.logError("A section after .rsrc holds code or data that cannot be moved");
        log.logData("section_name", section.displayName().c_str());
        return false;
    }
    return true;
}

} // namespace vexmar

#include "zip/archive/ZipSystem.h"

#include "codecs/lzma/LzmaUnpack.h"
#include "os/CodePage.h"
#include "os/Processors.h"
#include "zip/archive/ClsZip2.h"
#include "zip/central/ZipEntryBase.h"
#include "zip/base/text/PackedTables.h"

#include <new>

namespace vexmar {

ZipSystem::ZipSystem() : oemCodePage(os::oemCodePage()) {
    password.setWipe(true);
    // Entry names may be in any built-in code page, packed ones included.
    setCodePageUnpacker(lzmaUnpack);
}

ZipSystem::~ZipSystem() {
    discardEntries();
    archives_.clear();
}

void ZipSystem::addArchive(std::unique_ptr<ClsZip2> archive) {
    for (const auto& a : archives_)
        if (a.get() == archive.get())
            return;
    archives_.push_back(std::move(archive));
}

uint32_t ZipSystem::defaultWorkers() {
    const unsigned n = os::processorCount();
    return n < kMaxDefaultWorkers ? n : kMaxDefaultWorkers;
}

ClsZip2* ZipSystem::findArchive(int32_t id) const {
    for (const auto& a : archives_)
        if (a->id() == id)
            return a.get();
    return nullptr;
}

void ZipSystem::keepFirstArchive() {
    if (archives_.size() > 1)
        archives_.resize(1);
}

bool ZipSystem::appendEntry(std::unique_ptr<ZipEntryBase> entry) {
    try {
        entries_.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void ZipSystem::discardEntries() {
    entries_.clear();
}

ZipEntryBase* ZipSystem::entryAt(uint32_t i) const {
    if (i >= entries_.size() || !entries_[i]->hasValidTag())
        return nullptr;
    return entries_[i].get();
}

} // namespace vexmar

#include "zip/extract/FoldersAhead.h"

#include "os/Beneath.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/base/LogNull.h"
#include "zip/base/XString.h"
#include "zip/base/fs/FileSys.h"

#include <algorithm>
#include <utility>

namespace vexmar {

namespace {

bool exists(const std::string& path) {
    XString text;
    text.setFromUtf8(path.c_str());
    return FileSys::fileExists(text, nullptr);
}

} // namespace

FoldersAhead::FoldersAhead(const std::vector<ZipEntryMapped*>& entries,
                           const XString& directory, bool ignoreFolders)
    : targets_(entries.size()), folders_(entries.size(), 0), existed_(entries.size(), false) {
    std::unordered_set<std::string> seen;
    LogNull quiet;
    for (size_t i = 0; i < entries.size(); ++i) {
        EntryTarget& target = targets_[i];
        if (!entries[i]->entryTarget(directory, ignoreFolders, target, quiet)) {
            target.names.clear();
            continue;
        }
        const bool folderEntry = entries[i]->isDirectory();
        if (folderEntry && ignoreFolders)
            continue;
        folders_[i] = folderEntry || target.names.empty() ? target.names.size()
                                                           : target.names.size() - 1;
        if (!folderEntry)
            existed_[i] = exists(target.path()) || os::isLink(target.path().c_str());
        for (size_t depth = 1; depth <= folders_[i]; ++depth) {
            std::string path = target.pathOf(depth);
            if (seen.insert(path).second && !exists(path))
                missing_.insert(std::move(path));
        }
    }
}

void FoldersAhead::removeBeyond(size_t firstUndone) const {
    std::unordered_set<std::string> needed;
    for (size_t i = 0; i < firstUndone && i < targets_.size(); ++i)
        for (size_t depth = 1; depth <= folders_[i]; ++depth)
            needed.insert(targets_[i].pathOf(depth));

    std::unordered_set<std::string> chosen;
    std::vector<std::pair<size_t, size_t>> doomed; // (entry, depth)
    for (size_t i = firstUndone; i < targets_.size(); ++i)
        for (size_t depth = 1; depth <= folders_[i]; ++depth) {
            std::string path = targets_[i].pathOf(depth);
            if (missing_.count(path) && !needed.count(path) && chosen.insert(path).second)
                doomed.emplace_back(i, depth);
        }
    std::stable_sort(doomed.begin(), doomed.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });

    for (const auto& [i, depth] : doomed) {
        const EntryTarget& target = targets_[i];
        // Opening the parent must not make it: a parent that is gone has nothing to remove.
        if (!exists(target.pathOf(depth)) || (depth > 1 && !exists(target.pathOf(depth - 1))))
            continue;
        os::BeneathFailure failure;
        const os::OpenFolder parent =
            os::openFolderBeneath(target.base, target.names, depth - 1, failure);
        uint32_t error = 0;
        // A folder that is not empty (or not ours to remove) stays.
        if (parent.isOpen())
            static_cast<void>(os::removeEmptyFolderIn(parent, target.names[depth - 1], error));
    }
}

} // namespace vexmar

// What was on disk before a run on several workers, which make the folders and files of
// entries ahead of the one being delivered. Which of the entries' folders are missing is noted,
// so that after an abort the folders that only entries beyond it needed can be removed again
// (one thread would never have made them), and which targets exist, so that those are replaced
// only in their turn.
#pragma once

#include "zip/extract/EntryTarget.h"

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

namespace vexmar {

class XString;
class ZipEntryMapped;

class FoldersAhead {
public:
    FoldersAhead(const std::vector<ZipEntryMapped*>& entries, const XString& directory,
                 bool ignoreFolders);

    // Whether something was at the entry's target before the run: replacing it cannot be
    // undone, so it waits for the entry's turn.
    bool targetExisted(size_t entry) const { return existed_[entry]; }

    // Removes, deepest first, the folders that were missing before the run, that no entry
    // before `firstUndone` needs, and that are empty.
    void removeBeyond(size_t firstUndone) const;

private:
    std::vector<EntryTarget> targets_; // per entry; no names when it has no target
    std::vector<size_t> folders_;      // how many of its names are folders
    std::unordered_set<std::string> missing_;
    std::vector<bool> existed_;
};

} // namespace vexmar

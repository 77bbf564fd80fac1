// Where an entry is written: the extraction folder, absolute and normalised as the user
// gave it, and the repaired names below it that came from the entry.
#pragma once

#include <string>
#include <vector>

namespace vexmar {

struct EntryTarget {
    std::string base;               // never changed by the entry's name
    std::vector<std::string> names; // folders, then the file (for a file entry)

    // The whole path, for logs and for looking at what is there.
    std::string path() const;
    // The path of the first `count` names below the base.
    std::string pathOf(size_t count) const;
};

} // namespace vexmar

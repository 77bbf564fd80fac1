// The rebuilt resource section: four depth-first passes (directory tables, data
// entries, name strings, data) assign offsets from 0, the fix-up turns them into
// the on-disk records, and the writer emits them in the same orders.
#pragma once

#include <cstdint>

namespace vexmar {

class ExeOutput;
class ExeResource;
class LogBase;

// Pre-order: a node, then its named children, then its id children.
template <typename Node, typename Visit> void forEachPreOrder(Node& node, Visit visit) {
    visit(node);
    for (auto& child : node.namedChildren)
        forEachPreOrder(*child, visit);
    for (auto& child : node.idChildren)
        forEachPreOrder(*child, visit);
}

// Assigns every offset and returns the laid-out size. A leaf whose data comes
// from a file takes that file's current size.
bool layOutResources(ExeResource& root, uint64_t& size, LogBase& log);
// Fills in the counts, entries and data entries; `sectionRva` is where the
// section will be loaded.
void fixUpResources(ExeResource& root, uint32_t sectionRva);
// Writes the section, then "X" bytes up to `rawSize`.
bool writeResources(const ExeResource& root, uint64_t size, uint64_t rawSize, ExeOutput& out,
                    LogBase& log);

} // namespace vexmar

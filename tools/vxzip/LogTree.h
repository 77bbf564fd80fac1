// The engine's log read back from its XML form, so that vxzip can say in a few
// words why an operation failed.
#pragma once

#include <string>
#include <vector>

namespace vxzip {

struct LogNode {
    std::string tag;  // a context's or a data item's name; "error" and "info" for those
    std::string text; // a leaf's text
    bool isContext = false;
    std::vector<LogNode> children;

    // Every node below this one with the tag, in document order.
    void findAll(const std::string& name, std::vector<const LogNode*>& out) const;
    // The first data item or error with the tag below this node, or null.
    const LogNode* findFirst(const std::string& name) const;
};

// The root context ("VexmarLog"); an empty context when the text is not a log.
LogNode readLogTree(const std::string& xml);

} // namespace vxzip

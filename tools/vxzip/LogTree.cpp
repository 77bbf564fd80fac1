#include "tools/vxzip/LogTree.h"

namespace vxzip {

namespace {

class Reader {
public:
    explicit Reader(const std::string& xml) : xml_(xml) {}

    // Reads the children of a context up to its closing tag (or the end).
    void readChildren(LogNode& parent, int depth) {
        while (skipSpace()) {
            if (xml_.compare(pos_, 2, "</") == 0) {
                const size_t close = xml_.find('>', pos_);
                pos_ = close == std::string::npos ? xml_.size() : close + 1;
                return;
            }
            if (xml_[pos_] != '<') {
                skipLine(); // a raw line
                continue;
            }
            const size_t close = xml_.find('>', pos_);
            if (close == std::string::npos) {
                pos_ = xml_.size();
                return;
            }
            LogNode node;
            node.tag = xml_.substr(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
            // A context's opening tag ends its line; a leaf's text follows on the same one.
            if (pos_ >= xml_.size() || xml_[pos_] == '\r' || xml_[pos_] == '\n') {
                node.isContext = true;
                if (depth < kMaxDepth)
                    readChildren(node, depth + 1);
            } else {
                readLeafText(node);
            }
            parent.children.push_back(std::move(node));
        }
    }

private:
    static constexpr int kMaxDepth = 200;

    bool skipSpace() {
        while (pos_ < xml_.size() &&
               (xml_[pos_] == ' ' || xml_[pos_] == '\r' || xml_[pos_] == '\n'))
            ++pos_;
        return pos_ < xml_.size();
    }

    void skipLine() {
        const size_t end = xml_.find('\n', pos_);
        pos_ = end == std::string::npos ? xml_.size() : end + 1;
    }

    // The text runs to "</tag>" at the end of a line; texts with markup characters
    // come as CDATA sections (split where the text holds "]]>").
    void readLeafText(LogNode& node) {
        const std::string close = "</" + node.tag + ">";
        size_t end = pos_;
        for (;;) {
            end = xml_.find(close, end);
            if (end == std::string::npos) {
                end = xml_.size();
                break;
            }
            const size_t after = end + close.size();
            if (after >= xml_.size() || xml_[after] == '\r' || xml_[after] == '\n')
                break;
            end = after;
        }
        node.text = unwrapCdata(xml_.substr(pos_, end - pos_));
        pos_ = std::min(xml_.size(), end + close.size());
    }

    static std::string unwrapCdata(const std::string& text) {
        static const std::string open = "<![CDATA[", shut = "]]>";
        if (text.compare(0, open.size(), open) != 0 || text.size() < open.size() + shut.size() ||
            text.compare(text.size() - shut.size(), shut.size(), shut) != 0)
            return text;
        std::string inner = text.substr(open.size(), text.size() - open.size() - shut.size());
        const std::string split = shut + open;
        for (size_t at = inner.find(split); at != std::string::npos; at = inner.find(split, at))
            inner.erase(at, split.size());
        return inner;
    }

    const std::string& xml_;
    size_t pos_ = 0;
};

} // namespace

void LogNode::findAll(const std::string& name, std::vector<const LogNode*>& out) const {
    for (const LogNode& child : children) {
        if (child.tag == name)
            out.push_back(&child);
        if (child.isContext)
            child.findAll(name, out);
    }
}

const LogNode* LogNode::findFirst(const std::string& name) const {
    for (const LogNode& child : children) {
        if (!child.isContext && child.tag == name)
            return &child;
        if (child.isContext)
            if (const LogNode* found = child.findFirst(name))
                return found;
    }
    return nullptr;
}

LogNode readLogTree(const std::string& xml) {
    LogNode top;
    top.isContext = true;
    Reader(xml).readChildren(top, 0);
    for (LogNode& child : top.children)
        if (child.isContext)
            return std::move(child);
    return top;
}

} // namespace vxzip

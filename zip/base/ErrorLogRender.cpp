// The three renderings of an ErrorLog tree: XML-like text, plain text, HTML.
#include "zip/base/ErrorLog.h"

namespace vexmar {

namespace {

// The rendering under way. When the string cannot grow any more the output
// stops there, so that what was written is a clean beginning of the log, and
// the rendering as a whole reports that it is incomplete.
class RenderOut {
public:
    explicit RenderOut(StringBuffer& out) : out_(out) {}

    void put(const char* s) { complete_ = complete_ && out_.append(s); }
    void put(const StringBuffer& s) { complete_ = complete_ && out_.append(s); }
    void putChar(char c) { complete_ = complete_ && out_.appendChar(c); }
    void putChars(char c, uint32_t n) { complete_ = complete_ && out_.appendCharN(c, n); }

    bool complete() const { return complete_; }

private:
    StringBuffer& out_;
    bool complete_ = true;
};

void indent(RenderOut& out, int depth) {
    if (depth > 0)
        out.putChars(' ', uint32_t(depth) * 2);
}

// Texts that would break the XML-like form go into a CDATA section, unless
// they already carry one.
void appendXmlText(RenderOut& out, const StringBuffer& text) {
    bool special = text.containsChar('\n') || text.containsChar('\t') || text.containsChar('&') ||
                   text.containsChar('>') || text.containsChar('<');
    bool hasCdata = text.contains("<![CDATA[") && text.contains("]]>");
    if (!special || hasCdata) {
        out.put(text);
        return;
    }
    out.put("<![CDATA[");
    // A "]]>" inside would end the section early: close the section between
    // its "]]" and its ">" and open another.
    const char* s = text.getString();
    for (uint32_t i = 0; i < text.getSize(); ++i) {
        if (s[i] == '>' && i >= 2 && s[i - 1] == ']' && s[i - 2] == ']')
            out.put("]]><![CDATA[");
        out.putChar(s[i]);
    }
    out.put("]]>");
}

void renderXml(const LogEntry2& e, int depth, RenderOut& out) {
    indent(out, depth);
    switch (e.kind()) {
    case LogEntry2::kContext:
        out.putChar('<');
        out.put(e.tag());
        out.put(">\r\n");
        for (const LogEntry2* c = e.firstChild(); c; c = c->nextSibling())
            renderXml(*c, depth + 1, out);
        indent(out, depth);
        out.put("</");
        out.put(e.tag());
        out.put(">\r\n");
        break;
    case LogEntry2::kError:
        out.put("<error>");
        appendXmlText(out, e.text());
        out.put("</error>\r\n");
        break;
    case LogEntry2::kInfo:
        out.put("<info>");
        appendXmlText(out, e.text());
        out.put("</info>\r\n");
        break;
    case LogEntry2::kData:
        out.putChar('<');
        out.put(e.tag());
        out.putChar('>');
        appendXmlText(out, e.text());
        out.put("</");
        out.put(e.tag());
        out.put(">\r\n");
        break;
    case LogEntry2::kRaw:
        out.put(e.text());
        out.put("\r\n");
        break;
    }
}

void renderText(const LogEntry2& e, int depth, RenderOut& out) {
    indent(out, depth);
    switch (e.kind()) {
    case LogEntry2::kContext:
        out.put(e.tag());
        out.put(":\r\n");
        for (const LogEntry2* c = e.firstChild(); c; c = c->nextSibling())
            renderText(*c, depth + 1, out);
        indent(out, depth);
        out.put("--");
        out.put(e.tag());
        out.put("\r\n");
        break;
    case LogEntry2::kData:
        out.put(e.tag());
        out.put(": ");
        out.put(e.text());
        out.put("\r\n");
        break;
    case LogEntry2::kError:
    case LogEntry2::kInfo:
    case LogEntry2::kRaw:
        out.put(e.text());
        out.put("\r\n");
        break;
    }
}

void renderHtml(const LogEntry2& e, RenderOut& out) {
    switch (e.kind()) {
    case LogEntry2::kContext:
        out.put(e.tag());
        out.put(":<blockquote>\r\n");
        for (const LogEntry2* c = e.firstChild(); c; c = c->nextSibling())
            renderHtml(*c, out);
        out.put("</blockquote>\r\n");
        break;
    case LogEntry2::kData:
        out.put(e.tag());
        out.put(": ");
        out.put(e.text());
        break;
    case LogEntry2::kError:
    case LogEntry2::kInfo:
    case LogEntry2::kRaw:
        out.put(e.text());
        break;
    }
}

} // namespace

bool ErrorLog::renderXml(StringBuffer& out) const {
    RenderOut rendered(out);
    if (root_)
        vexmar::renderXml(*root_, 0, rendered);
    return rendered.complete();
}

bool ErrorLog::renderText(StringBuffer& out) const {
    RenderOut rendered(out);
    if (root_)
        vexmar::renderText(*root_, 0, rendered);
    return rendered.complete();
}

bool ErrorLog::renderHtml(StringBuffer& out) const {
    RenderOut rendered(out);
    if (root_)
        vexmar::renderHtml(*root_, rendered);
    return rendered.complete();
}

} // namespace vexmar

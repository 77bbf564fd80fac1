// The three renderings of an ErrorLog tree: XML-like text, plain text, HTML.
#include "zip/base/ErrorLog.h"

namespace vexmar {

namespace {

void indent(StringBuffer& out, int depth) {
    if (depth > 0)
        out.appendCharN(' ', uint32_t(depth) * 2);
}

// Texts that would break the XML-like form go into a CDATA section, unless
// they already carry one.
void appendXmlText(StringBuffer& out, const StringBuffer& text) {
    bool special = text.containsChar('\n') || text.containsChar('\t') || text.containsChar('&') ||
                   text.containsChar('>') || text.containsChar('<');
    bool hasCdata = text.contains("<![CDATA[") && text.contains("]]>");
    if (!special || hasCdata) {
        out.append(text);
        return;
    }
    out.append("<![CDATA[");
    // A "]]>" inside would end the section early: close the section between
    // its "]]" and its ">" and open another.
    const char* s = text.getString();
    for (uint32_t i = 0; i < text.getSize(); ++i) {
        if (s[i] == '>' && i >= 2 && s[i - 1] == ']' && s[i - 2] == ']')
            out.append("]]><![CDATA[");
        out.appendChar(s[i]);
    }
    out.append("]]>");
}

void renderXml(const LogEntry2& e, int depth, StringBuffer& out) {
    indent(out, depth);
    switch (e.kind()) {
    case LogEntry2::kContext:
        out.appendChar('<');
        out.append(e.tag());
        out.append(">\r\n");
        for (const LogEntry2* c = e.firstChild(); c; c = c->nextSibling())
            renderXml(*c, depth + 1, out);
        indent(out, depth);
        out.append("</");
        out.append(e.tag());
        out.append(">\r\n");
        break;
    case LogEntry2::kError:
        out.append("<error>");
        appendXmlText(out, e.text());
        out.append("</error>\r\n");
        break;
    case LogEntry2::kInfo:
        out.append("<info>");
        appendXmlText(out, e.text());
        out.append("</info>\r\n");
        break;
    case LogEntry2::kData:
        out.appendChar('<');
        out.append(e.tag());
        out.appendChar('>');
        appendXmlText(out, e.text());
        out.append("</");
        out.append(e.tag());
        out.append(">\r\n");
        break;
    case LogEntry2::kRaw:
        out.append(e.text());
        out.append("\r\n");
        break;
    }
}

void renderText(const LogEntry2& e, int depth, StringBuffer& out) {
    indent(out, depth);
    switch (e.kind()) {
    case LogEntry2::kContext:
        out.append(e.tag());
        out.append(":\r\n");
        for (const LogEntry2* c = e.firstChild(); c; c = c->nextSibling())
            renderText(*c, depth + 1, out);
        indent(out, depth);
        out.append("--");
        out.append(e.tag());
        out.append("\r\n");
        break;
    case LogEntry2::kData:
        out.append(e.tag());
        out.append(": ");
        out.append(e.text());
        out.append("\r\n");
        break;
    case LogEntry2::kError:
    case LogEntry2::kInfo:
    case LogEntry2::kRaw:
        out.append(e.text());
        out.append("\r\n");
        break;
    }
}

void renderHtml(const LogEntry2& e, StringBuffer& out) {
    switch (e.kind()) {
    case LogEntry2::kContext:
        out.append(e.tag());
        out.append(":<blockquote>\r\n");
        for (const LogEntry2* c = e.firstChild(); c; c = c->nextSibling())
            renderHtml(*c, out);
        out.append("</blockquote>\r\n");
        break;
    case LogEntry2::kData:
        out.append(e.tag());
        out.append(": ");
        out.append(e.text());
        break;
    case LogEntry2::kError:
    case LogEntry2::kInfo:
    case LogEntry2::kRaw:
        out.append(e.text());
        break;
    }
}

} // namespace

void ErrorLog::renderXml(StringBuffer& out) const {
    if (root_)
        vexmar::renderXml(*root_, 0, out);
}

void ErrorLog::renderText(StringBuffer& out) const {
    if (root_)
        vexmar::renderText(*root_, 0, out);
}

void ErrorLog::renderHtml(StringBuffer& out) const {
    if (root_)
        vexmar::renderHtml(*root_, out);
}

} // namespace vexmar

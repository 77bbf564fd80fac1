#include "os/ProfileFile.h"

#include "os/AnsiText.h"
#include "os/Directory.h"
#include "os/File.h"

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace os {
namespace profile {

namespace {

// Profile calls of one process run one at a time, as Windows runs them.
std::mutex& profileLock() {
    static std::mutex lock;
    return lock;
}

enum class Encoding { Ansi, Utf8, Utf16 };

struct Line {
    wstring text; // as in the file, without its line break
    bool isSection = false;
    bool isKey = false;
    wstring name;  // section or key name, trimmed
    wstring value; // a key's value, trimmed (quotes kept)
};

struct Document {
    Encoding encoding = Encoding::Ansi;
    std::vector<Line> lines;
    bool endsWithBreak = true;
    // False when the bytes could not be turned into text: writing it back would lose them.
    bool complete = true;
};

// One line's text from its three parts, appended in place (GCC's -O3 restrict
// check misreads the temporaries of a chain of operator+).
wstring joined(std::basic_string_view<wchar> a, std::basic_string_view<wchar> b,
               std::basic_string_view<wchar> c) {
    wstring line;
    line.reserve(a.size() + b.size() + c.size());
    line.append(a).append(b).append(c);
    return line;
}

bool isBlank(wchar c) {
    return c == ' ' || c == '\t';
}

wstring trim(const wstring& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

wchar fold(wchar c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return wchar(c + 0x20);
    return c;
}

bool sameName(const wstring& a, const wchar* b) {
    const size_t length = wideLength(b);
    if (a.size() != length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

Line parseLine(const wstring& text) {
    Line line;
    line.text = text;
    const wstring trimmed = trim(text);
    if (!trimmed.empty() && trimmed[0] == '[') {
        const size_t close = trimmed.find(']');
        line.isSection = true;
        line.name = trim(trimmed.substr(1, close == wstring::npos ? wstring::npos : close - 1));
    } else if (!trimmed.empty() && trimmed[0] != ';') {
        const size_t equals = trimmed.find('=');
        line.isKey = true;
        line.name = trim(trimmed.substr(0, equals));
        if (equals != wstring::npos)
            line.value = trim(trimmed.substr(equals + 1));
    }
    return line;
}

bool readBytes(const std::string& path, std::string& bytes, uint32_t& error) {
    FileOpenRequest request;
    request.access = kAccessRead;
    request.share = kShareRead | kShareWrite | kShareDelete;
    bool wide = false;
    const FileHandle file = openFile(path.c_str(), request, error, wide);
    if (file == kNoFile)
        return false;
    char chunk[16384];
    uint32_t done = 0;
    bool ok = true;
    while ((ok = readFile(file, chunk, sizeof chunk, done, error)) && done > 0)
        bytes.append(chunk, done);
    closeFile(file);
    return ok;
}

Document decode(const std::string& bytes) {
    Document document;
    wstring text;
    if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE) {
        document.encoding = Encoding::Utf16;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += wchar(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
    } else if (bytes.size() >= 3 && uint8_t(bytes[0]) == 0xEF && uint8_t(bytes[1]) == 0xBB &&
               uint8_t(bytes[2]) == 0xBF) {
        document.encoding = Encoding::Utf8;
        text = fromUtf8(bytes.data() + 3, bytes.size() - 3);
    } else {
        document.complete = ansiToWide(bytes.data(), bytes.size(), text);
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(wchar('\n'), start);
        const bool broken = end != wstring::npos;
        if (!broken)
            end = text.size();
        wstring lineText = text.substr(start, end - start);
        if (!lineText.empty() && lineText.back() == '\r')
            lineText.pop_back();
        document.lines.push_back(parseLine(lineText));
        document.endsWithBreak = broken;
        start = end + 1;
    }
    return document;
}

std::string encode(const Document& document) {
    wstring text;
    for (size_t i = 0; i < document.lines.size(); ++i) {
        text += document.lines[i].text;
        if (i + 1 < document.lines.size() || document.endsWithBreak)
            text += OS_WTEXT("\r\n");
    }
    std::string bytes;
    switch (document.encoding) {
    case Encoding::Utf16:
        bytes = "\xFF\xFE";
        for (wchar unit : text) {
            bytes += char(uint16_t(unit) & 0xFF);
            bytes += char(uint16_t(unit) >> 8);
        }
        break;
    case Encoding::Utf8:
        bytes = "\xEF\xBB\xBF" + toUtf8(text);
        break;
    case Encoding::Ansi:
        bytes = wideToSystemAnsi(text.c_str());
        break;
    }
    return bytes;
}

bool writeBytes(const std::string& path, const std::string& bytes, uint32_t& error) {
    FileOpenRequest request;
    request.access = kAccessWrite;
    request.creation = FileCreation::OpenAlways;
    request.share = kShareRead;
    bool wide = false;
    const FileHandle file = openFile(path.c_str(), request, error, wide);
    if (file == kNoFile)
        return false;
    size_t written = 0;
    bool ok = true;
    while (ok && written < bytes.size()) {
        uint32_t done = 0;
        const size_t piece = std::min<size_t>(bytes.size() - written, 1u << 20);
        ok = writeFile(file, bytes.data() + written, uint32_t(piece), done, error) && done > 0;
        written += done;
    }
    ok = ok && truncateAtPosition(file, error);
    closeFile(file);
    return ok;
}

// The index of the first section named `section`, or lines.size().
size_t findSection(const Document& document, const wchar* section) {
    for (size_t i = 0; i < document.lines.size(); ++i)
        if (document.lines[i].isSection && sameName(document.lines[i].name, section))
            return i;
    return document.lines.size();
}

// The end of the section starting at `header`: the next section's line.
size_t sectionEnd(const Document& document, size_t header) {
    size_t i = header + 1;
    while (i < document.lines.size() && !document.lines[i].isSection)
        ++i;
    return i;
}

// Names, each with its NUL, then a final NUL; cut short as Windows cuts them.
uint32_t copyList(const std::vector<wstring>& names, wchar* buffer, uint32_t size) {
    if (size == 0)
        return 0;
    if (size == 1) {
        buffer[0] = 0;
        return 0;
    }
    uint32_t at = 0;
    for (const wstring& name : names) {
        if (name.empty())
            continue;
        for (wchar unit : name) {
            if (at >= size - 2) {
                buffer[size - 2] = 0;
                buffer[size - 1] = 0;
                return size - 2;
            }
            buffer[at++] = unit;
        }
        if (at >= size - 2) {
            buffer[size - 2] = 0;
            buffer[size - 1] = 0;
            return size - 2;
        }
        buffer[at++] = 0;
    }
    buffer[at] = 0;
    if (at == 0 && size > 1)
        buffer[1] = 0;
    return at;
}

uint32_t copyValue(const wstring& value, wchar* buffer, uint32_t size) {
    if (size == 0)
        return 0;
    const uint32_t count = uint32_t(std::min<size_t>(value.size(), size - 1));
    value.copy(buffer, count);
    buffer[count] = 0;
    return count;
}

// Windows drops one pair of matching quotes around a value.
wstring unquote(const wstring& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

uint32_t getString(const wchar* section, const wchar* key, const wchar* defaultValue, wchar* buffer,
                   uint32_t size, const wchar* file) {
    std::lock_guard<std::mutex> hold(profileLock());
    std::string bytes;
    uint32_t error = 0;
    Document document;
    if (file && readBytes(toUtf8(file, wideLength(file)), bytes, error))
        document = decode(bytes);
    if (!section) {
        std::vector<wstring> names;
        for (const Line& line : document.lines)
            if (line.isSection)
                names.push_back(line.name);
        return copyList(names, buffer, size);
    }
    const size_t header = findSection(document, section);
    const size_t end = header < document.lines.size() ? sectionEnd(document, header) : header;
    if (!key) {
        std::vector<wstring> names;
        for (size_t i = header + 1; i < end; ++i)
            if (document.lines[i].isKey)
                names.push_back(document.lines[i].name);
        return copyList(names, buffer, size);
    }
    for (size_t i = header + 1; i < end; ++i)
        if (document.lines[i].isKey && sameName(document.lines[i].name, key))
            return copyValue(unquote(document.lines[i].value), buffer, size);
    wstring fallback = defaultValue ? wstring(defaultValue) : wstring();
    while (!fallback.empty() && fallback.back() == ' ')
        fallback.pop_back();
    return copyValue(fallback, buffer, size);
}

bool writeString(const wchar* section, const wchar* key, const wchar* value, const wchar* file,
                 uint32_t& error) {
    if (!section || !file) {
        error = kErrorInvalidData;
        return false;
    }
    std::lock_guard<std::mutex> hold(profileLock());
    const std::string path = toUtf8(file, wideLength(file));
    std::string bytes;
    Document document;
    uint32_t readError = 0;
    if (readBytes(path, bytes, readError))
        document = decode(bytes);
    if (!document.complete) {
        error = kErrorInvalidData;
        return false;
    }
    if (document.lines.size() == 1 && document.lines[0].text.empty())
        document.lines.clear();

    const size_t header = findSection(document, section);
    const bool haveSection = header < document.lines.size();
    const size_t end = haveSection ? sectionEnd(document, header) : header;
    if (!key) {
        if (!haveSection)
            return true;
        document.lines.erase(document.lines.begin() + ptrdiff_t(header),
                             document.lines.begin() + ptrdiff_t(end));
        return writeBytes(path, encode(document), error);
    }
    size_t found = end;
    for (size_t i = haveSection ? header + 1 : end; i < end; ++i)
        if (document.lines[i].isKey && sameName(document.lines[i].name, key)) {
            found = i;
            break;
        }
    if (!value) {
        if (found == end)
            return true;
        document.lines.erase(document.lines.begin() + ptrdiff_t(found));
        return writeBytes(path, encode(document), error);
    }
    if (found < end) {
        const wstring name = document.lines[found].name;
        document.lines[found] = parseLine(joined(name, OS_WTEXT("="), value));
    } else if (haveSection) {
        // After the section's last key, before the blank lines that close it.
        size_t at = end;
        while (at > header + 1 && !document.lines[at - 1].isKey)
            --at;
        document.lines.insert(document.lines.begin() + ptrdiff_t(at),
                              parseLine(joined(key, OS_WTEXT("="), value)));
    } else {
        document.lines.push_back(parseLine(joined(OS_WTEXT("["), section, OS_WTEXT("]"))));
        document.lines.push_back(parseLine(joined(key, OS_WTEXT("="), value)));
    }
    document.endsWithBreak = true;
    return writeBytes(path, encode(document), error);
}

} // namespace profile
} // namespace os

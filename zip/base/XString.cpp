#include "zip/base/XString.h"

#include "zip/base/text/EncodingConvert.h"
#include "os/CodePage.h"
#include "zip/base/LogNull.h"
#include "zip/base/ValidityTag.h"

#include <bit>
#include <cstring>

namespace vexmar {

static_assert(std::endian::native == std::endian::little,
              "the wide form is UTF-16LE and read in place as char16_t");

namespace {

constexpr uint32_t kTag = 0xC8E20FF6;
constexpr char16_t kEmptyWide[1] = {0};

// Each conversion uses a fresh converter that drops what it cannot convert.
bool convert(int from, int to, const void* data, uint32_t n, DataBuffer& out) {
    EncodingConvert converter;
    LogNull log;
    return converter.EncConvert(from, to, data, n, out, log);
}

uint32_t wideLength(const char16_t* s) {
    uint32_t n = 0;
    while (s[n])
        ++n;
    return n;
}

bool isTrimmed(char16_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

XString::XString() : tag_(kTag) {}

XString::~XString() {
    checkValidityTag(tag_, kTag);
    clearValidityTag(tag_);
}

void XString::check() const {
    checkValidityTag(tag_, kTag);
}

void XString::onlyUtf8() {
    utf8Valid_ = 1;
    ansiValid_ = 0;
    wideValid_ = 0;
}

void XString::onlyWide() {
    wideValid_ = 1;
    ansiValid_ = 0;
    utf8Valid_ = 0;
}

// Converts the value from a current form other than the target's.
bool XString::convertCurrent(int toCodePage, DataBuffer& out) const {
    if (utf8Valid_ && toCodePage != EncodingConvert::kUtf8)
        return convert(EncodingConvert::kUtf8, toCodePage, utf8_.getString(), utf8_.getSize(), out);
    if (wideValid_ && toCodePage != EncodingConvert::kUtf16LE)
        return convert(EncodingConvert::kUtf16LE, toCodePage, wide_.getData(),
                       wide_.getSize() >= 2 ? wide_.getSize() - 2 : 0, out);
    return convert(os::ansiCodePage(), toCodePage, ansi_.getString(), ansi_.getSize(), out);
}

bool XString::makeUtf8Current() const {
    check();
    if (utf8Valid_)
        return true;
    DataBuffer out;
    bool ok = convertCurrent(EncodingConvert::kUtf8, out);
    if (!utf8_.setString(reinterpret_cast<const char*>(out.getData()), out.getSize()))
        return false;
    utf8Valid_ = ok ? 1 : 0;
    return ok;
}

bool XString::makeWideCurrent() const {
    check();
    if (wideValid_)
        return true;
    DataBuffer out;
    bool ok = convertCurrent(EncodingConvert::kUtf16LE, out);
    static constexpr uint8_t kTerminator[2] = {0, 0};
    wide_.clear();
    if (!wide_.append(out) || !wide_.append(kTerminator, 2)) {
        wide_.clear();
        return false;
    }
    wideValid_ = ok ? 1 : 0;
    return ok;
}

bool XString::setFromUtf8(const char* s) {
    return setFromUtf8(s, s ? uint32_t(std::strlen(s)) : 0);
}

bool XString::setFromUtf8(const char* s, uint32_t n) {
    check();
    if (s && n >= 3 && std::memcmp(s, "\xEF\xBB\xBF", 3) == 0) {
        s += 3;
        n -= 3;
    }
    bool ok = utf8_.setString(s, n);
    onlyUtf8();
    return ok;
}

bool XString::setFromAnsi(const char* s) {
    check();
    bool ok = ansi_.setString(s);
    ansiValid_ = 1;
    utf8Valid_ = 0;
    wideValid_ = 0;
    return ok;
}

bool XString::setWideUnits(const char16_t* s, uint32_t units) {
    static constexpr uint8_t kTerminator[2] = {0, 0};
    DataBuffer copy;
    if (!copy.append(s, units * 2) || !copy.append(kTerminator, 2))
        return false;
    wide_.clear();
    bool ok = wide_.append(copy);
    onlyWide();
    return ok;
}

bool XString::setFromWide(const char16_t* s) {
    return setFromWide(s, s ? wideLength(s) : 0);
}

bool XString::setFromWide(const char16_t* s, uint32_t units) {
    check();
    if (uint64_t(units) * 2 + 2 > UINT32_MAX)
        return false;
    return setWideUnits(s ? s : kEmptyWide, s ? units : 0);
}

bool XString::setFromWchar(const wchar_t* s) {
    if constexpr (sizeof(wchar_t) == 2) {
        return setFromWide(reinterpret_cast<const char16_t*>(s));
    } else {
        // UTF-32: code points beyond the BMP become surrogate pairs.
        DataBuffer units;
        for (const wchar_t* p = s; p && *p; ++p) {
            uint32_t cp = uint32_t(*p);
            if (cp > 0x10FFFF)
                cp = 0xFFFD;
            char16_t pair[2];
            uint32_t n = 1;
            if (cp >= 0x10000) {
                pair[0] = char16_t(0xD800 + ((cp - 0x10000) >> 10));
                pair[1] = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
                n = 2;
            } else {
                pair[0] = char16_t(cp);
            }
            if (!units.append(pair, n * 2))
                return false;
        }
        return setFromWide(reinterpret_cast<const char16_t*>(units.getData()), units.getSize() / 2);
    }
}

bool XString::setFromSbUtf8(const StringBuffer& s) {
    return setFromUtf8(s.getString(), s.getSize());
}

bool XString::setFromX(const XString& other) {
    if (&other == this)
        return true;
    return setFromUtf8(other.getUtf8(), other.getSizeUtf8());
}

bool XString::appendUtf8(const char* s) {
    return appendUtf8(s, s ? uint32_t(std::strlen(s)) : 0);
}

bool XString::appendUtf8(const char* s, uint32_t n) {
    if (!makeUtf8Current())
        return false;
    bool ok = utf8_.append(s, n);
    onlyUtf8();
    return ok;
}

bool XString::appendAnsi(const char* s) {
    check();
    if (!s || !*s)
        return true;
    DataBuffer piece;
    bool ok =
        convert(os::ansiCodePage(), EncodingConvert::kUtf8, s, uint32_t(std::strlen(s)), piece);
    return appendUtf8(reinterpret_cast<const char*>(piece.getData()), piece.getSize()) && ok;
}

bool XString::appendWide(const char16_t* s) {
    check();
    if (!s || !*s)
        return true;
    uint32_t units = wideLength(s);
    if (wideValid_) {
        static constexpr uint8_t kTerminator[2] = {0, 0};
        DataBuffer copy;
        if (!copy.append(s, units * 2))
            return false;
        wide_.shorten(2);
        bool ok = wide_.append(copy);
        if (!wide_.append(kTerminator, 2))
            return false;
        onlyWide();
        return ok;
    }
    DataBuffer piece;
    bool ok = convert(EncodingConvert::kUtf16LE, EncodingConvert::kUtf8, s, units * 2, piece);
    return appendUtf8(reinterpret_cast<const char*>(piece.getData()), piece.getSize()) && ok;
}

bool XString::appendX(const XString& other) {
    if (&other == this) {
        StringBuffer copy;
        return copy.append(getUtf8Sb()) && appendUtf8(copy.getString(), copy.getSize());
    }
    return appendUtf8(other.getUtf8(), other.getSizeUtf8());
}

const char* XString::getUtf8() const {
    makeUtf8Current();
    return utf8_.getString();
}

const StringBuffer& XString::getUtf8Sb() const {
    makeUtf8Current();
    return utf8_;
}

uint32_t XString::getSizeUtf8() const {
    makeUtf8Current();
    return utf8_.getSize();
}

const char* XString::getAnsi() const {
    check();
    if (ansiValid_)
        return ansi_.getString();
    DataBuffer out;
    bool ok = convertCurrent(os::ansiCodePage(), out);
    // A character without an ANSI mapping leaves the form not current: the text
    // is lossy, and the next request converts again.
    if (ansi_.setString(reinterpret_cast<const char*>(out.getData()), out.getSize()))
        ansiValid_ = ok ? 1 : 0;
    return ansi_.getString();
}

const char16_t* XString::getWide() const {
    makeWideCurrent();
    if (wide_.getSize() < 2)
        return kEmptyWide;
    return reinterpret_cast<const char16_t*>(wide_.getData());
}

uint32_t XString::getNumChars() const {
    check();
    if (ansiValid_)
        return ansi_.getSize();
    makeWideCurrent();
    return wide_.getSize() >= 2 ? (wide_.getSize() - 2) / 2 : 0;
}

bool XString::isEmpty() const {
    check();
    if (utf8Valid_)
        return utf8_.isEmpty();
    if (wideValid_)
        return wide_.getSize() <= 2;
    return ansi_.isEmpty();
}

void XString::clear() {
    check();
    utf8_.clear();
    ansi_.clear();
    wide_.clear();
    utf8Valid_ = 1;
    ansiValid_ = 1;
    wideValid_ = 0;
}

// Edits the UTF-8 form, which then is the only current one.
template <typename Edit> bool XString::editUtf8(Edit edit) {
    if (!makeUtf8Current())
        return false;
    edit(utf8_);
    onlyUtf8();
    return true;
}

// Edits the UTF-16 units in place (the edit returns how many remain), which
// then are the only current form.
template <typename Edit> bool XString::editWide(Edit edit) {
    if (!makeWideCurrent())
        return false;
    auto* units = reinterpret_cast<char16_t*>(wide_.getData());
    uint32_t n = edit(units, wide_.getSize() / 2 - 1);
    units[n] = 0;
    wide_.setSize((n + 1) * 2);
    onlyWide();
    return true;
}

bool XString::trim() {
    if (utf8Valid_ || !wideValid_)
        return editUtf8([](StringBuffer& s) { s.trim(); });
    return editWide([](char16_t* units, uint32_t n) {
        uint32_t begin = 0;
        while (n > 0 && isTrimmed(units[n - 1]))
            --n;
        while (begin < n && isTrimmed(units[begin]))
            ++begin;
        std::memmove(units, units + begin, (n - begin) * 2);
        return n - begin;
    });
}

bool XString::replaceAllChars(char16_t from, char16_t to) {
    // ASCII never occurs inside a multi-byte UTF-8 sequence.
    if (from < 0x80 && to < 0x80)
        return editUtf8([=](StringBuffer& s) { s.replaceAllChars(char(from), char(to)); });
    return editWide([=](char16_t* units, uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) {
            if (units[i] == from)
                units[i] = to;
        }
        return n;
    });
}

bool XString::replaceFirst(const char* findUtf8, const char* replacementUtf8) {
    if (!makeUtf8Current())
        return false;
    bool replaced = utf8_.replaceFirst(findUtf8, replacementUtf8);
    if (replaced)
        onlyUtf8();
    return replaced;
}

bool XString::beginsWithUtf8(const char* prefix) const {
    return getUtf8Sb().beginsWith(prefix);
}

bool XString::endsWithUtf8(const char* suffix) const {
    return getUtf8Sb().endsWith(suffix);
}

bool XString::containsUtf8(const char* sub) const {
    return getUtf8Sb().contains(sub);
}

bool XString::equalsUtf8(const char* s) const {
    return getUtf8Sb().equals(s);
}

int XString::indexOfUtf8(const char* sub) const {
    if (!sub)
        return -1;
    const StringBuffer& text = getUtf8Sb();
    const char* found = std::strstr(text.getString(), sub);
    if (!found)
        return -1;
    // Count the UTF-16 units of what precedes the match, as the wide form would.
    DataBuffer prefix;
    convert(EncodingConvert::kUtf8, EncodingConvert::kUtf16LE, text.getString(),
            uint32_t(found - text.getString()), prefix);
    return int(prefix.getSize() / 2);
}

bool XString::removeChar(char16_t c) {
    if (c < 0x80)
        return editUtf8([=](StringBuffer& s) { s.removeChar(char(c)); });
    return editWide([=](char16_t* units, uint32_t n) {
        uint32_t kept = 0;
        for (uint32_t i = 0; i < n; ++i) {
            if (units[i] != c)
                units[kept++] = units[i];
        }
        return kept;
    });
}

void XString::setWipe(bool wipe) {
    wide_.setWipe(wipe);
    ansi_.setWipe(wipe);
    utf8_.setWipe(wipe);
}

} // namespace vexmar

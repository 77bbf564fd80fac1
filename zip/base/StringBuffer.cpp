#include "zip/base/StringBuffer.h"

#include "zip/base/ValidityTag.h"

#include <cstdlib>
#include <cstring>

namespace vexmar {

namespace {

constexpr uint8_t kTag = 0xAA;
constexpr uint32_t kMaxIncrement = 500000;
constexpr uint32_t kMaxPathComponentInput = 2048;

bool isTrimmed(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void wipeBytes(char* p, uint32_t n) {
    volatile char* v = p;
    for (uint32_t i = 0; i < n; ++i)
        v[i] = 0;
}

// Finds `find` (non-empty) in text[0, len): first or last occurrence, or -1.
int64_t findIn(const char* text, uint32_t len, const char* find, bool last) {
    size_t n = std::strlen(find);
    if (n == 0 || n > len)
        return -1;
    int64_t found = -1;
    for (uint32_t i = 0; i + n <= len; ++i) {
        if (std::memcmp(text + i, find, n) == 0) {
            found = i;
            if (!last)
                break;
        }
    }
    return found;
}

} // namespace

StringBuffer::StringBuffer() : tag_(kTag), text_(inline_) {
    inline_[0] = 0;
}

// Without memory for `s` the string starts empty; callers that must know use setString().
StringBuffer::StringBuffer(const char* s) : StringBuffer() {
    static_cast<void>(append(s));
}

StringBuffer::~StringBuffer() {
    checkValidityTag(tag_, kTag);
    if (wipe_)
        wipeBytes(text_, getCapacity()); // a shortened tail too
    std::free(heap_);
    clearValidityTag(tag_);
}

// Makes room for `added` more characters and the terminator.
bool StringBuffer::grow(uint32_t added) {
    checkValidityTag(tag_, kTag);
    uint64_t needed = uint64_t(length_) + added + 1;
    if (needed <= getCapacity())
        return true;
    uint64_t capacity = needed + increment_;
    if (capacity > UINT32_MAX)
        capacity = needed;
    if (capacity > UINT32_MAX)
        return false;
    auto* block = static_cast<char*>(std::malloc(capacity));
    if (!block)
        return false;
    std::memcpy(block, text_, length_ + 1);
    bool hadHeap = heap_ != nullptr;
    if (wipe_)
        wipeBytes(text_, getCapacity());
    std::free(heap_);
    heap_ = block;
    text_ = block;
    heapCapacity_ = uint32_t(capacity);
    // Growing an existing heap block again: grow by larger steps from now on.
    if (hadHeap && increment_ < heapCapacity_ && increment_ < kMaxIncrement) {
        uint32_t half = heapCapacity_ / 2;
        increment_ = half < kMaxIncrement ? half : kMaxIncrement;
    }
    return true;
}

bool StringBuffer::append(const char* s) {
    return s ? append(s, uint32_t(std::strlen(s))) : true;
}

bool StringBuffer::append(const char* s, uint32_t n) {
    if (!s || n == 0)
        return true;
    // `s` may point into this string, which grow() may move.
    bool inside = s >= text_ && s < text_ + length_ + 1;
    uint32_t offset = inside ? uint32_t(s - text_) : 0;
    if (!grow(n))
        return false;
    if (inside)
        s = text_ + offset;
    std::memmove(text_ + length_, s, n);
    length_ += n;
    text_[length_] = 0;
    return true;
}

bool StringBuffer::append(const StringBuffer& other) {
    return append(other.text_, other.length_);
}

bool StringBuffer::appendChar(char c) {
    return appendCharN(c, 1);
}

bool StringBuffer::appendCharN(char c, uint32_t n) {
    if (n == 0)
        return true;
    if (!grow(n))
        return false;
    std::memset(text_ + length_, c, n);
    length_ += n;
    text_[length_] = 0;
    return true;
}

bool StringBuffer::appendUInt64(uint64_t value) {
    char digits[20];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value);
    char text[21];
    for (int i = 0; i < n; ++i)
        text[i] = digits[n - 1 - i];
    return append(text, uint32_t(n));
}

bool StringBuffer::appendInt64(int64_t value) {
    if (value >= 0)
        return appendUInt64(uint64_t(value));
    if (!grow(21))
        return false;
    return appendChar('-') && appendUInt64(0 - uint64_t(value));
}

bool StringBuffer::setString(const char* s) {
    return setString(s, s ? uint32_t(std::strlen(s)) : 0);
}

bool StringBuffer::setString(const char* s, uint32_t n) {
    if (s && s >= text_ && s < text_ + length_) {
        // Part of this very string: keep that part only.
        uint32_t offset = uint32_t(s - text_);
        if (n > length_ - offset)
            n = length_ - offset;
        std::memmove(text_, s, n);
        length_ = n;
        text_[n] = 0;
        return true;
    }
    clear();
    return append(s, n);
}

void StringBuffer::clear() {
    checkValidityTag(tag_, kTag);
    if (wipe_)
        wipeBytes(text_, length_);
    length_ = 0;
    text_[0] = 0;
}

void StringBuffer::trim() {
    checkValidityTag(tag_, kTag);
    uint32_t end = length_;
    while (end > 0 && isTrimmed(text_[end - 1]))
        --end;
    uint32_t begin = 0;
    while (begin < end && isTrimmed(text_[begin]))
        ++begin;
    if (begin)
        std::memmove(text_, text_ + begin, end - begin);
    length_ = end - begin;
    text_[length_] = 0;
}

uint32_t StringBuffer::replaceAllChars(char from, char to) {
    checkValidityTag(tag_, kTag);
    uint32_t count = 0;
    for (uint32_t i = 0; i < length_; ++i) {
        if (text_[i] == from) {
            text_[i] = to;
            ++count;
        }
    }
    // Replacing by NUL ends the string there.
    if (to == 0 && count)
        length_ = uint32_t(std::strlen(text_));
    return count;
}

bool StringBuffer::replaceAt(uint32_t pos, uint32_t findLen, const char* replacement) {
    // A copy, since the replacement may point into this string.
    StringBuffer repl;
    if (!repl.append(replacement))
        return false;
    uint32_t replLen = repl.length_;
    if (replLen > findLen && !grow(replLen - findLen))
        return false;
    std::memmove(text_ + pos + replLen, text_ + pos + findLen, length_ - pos - findLen + 1);
    std::memcpy(text_ + pos, repl.text_, replLen);
    length_ = length_ - findLen + replLen;
    return true;
}

bool StringBuffer::replaceFirst(const char* find, const char* replacement) {
    checkValidityTag(tag_, kTag);
    int64_t pos = find ? findIn(text_, length_, find, false) : -1;
    return pos >= 0 && replaceAt(uint32_t(pos), uint32_t(std::strlen(find)), replacement);
}

bool StringBuffer::replaceLast(const char* find, const char* replacement) {
    checkValidityTag(tag_, kTag);
    int64_t pos = find ? findIn(text_, length_, find, true) : -1;
    return pos >= 0 && replaceAt(uint32_t(pos), uint32_t(std::strlen(find)), replacement);
}

void StringBuffer::shorten(uint32_t n) {
    checkValidityTag(tag_, kTag);
    length_ = n >= length_ ? 0 : length_ - n;
    text_[length_] = 0;
}

template <typename Drop> void StringBuffer::removeIf(Drop drop) {
    checkValidityTag(tag_, kTag);
    uint32_t out = 0;
    for (uint32_t i = 0; i < length_; ++i) {
        if (!drop(text_[i]))
            text_[out++] = text_[i];
    }
    length_ = out;
    text_[out] = 0;
}

void StringBuffer::removeChar(char c) {
    removeIf([c](char x) { return x == c; });
}

void StringBuffer::removeNameUnsafeChars() {
    removeIf([](char c) { return c == '*' || c == '<' || c == '>' || c == '?' || c == '|'; });
}

bool StringBuffer::keepLastPathComponent() {
    checkValidityTag(tag_, kTag);
    if (length_ > kMaxPathComponentInput) {
        length_ = kMaxPathComponentInput;
        text_[length_] = 0;
    }
    replaceAllChars('/', '\\');
    const char* sep = std::strrchr(text_, '\\');
    if (sep)
        return setString(sep + 1, uint32_t(text_ + length_ - (sep + 1)));
    return true;
}

bool StringBuffer::containsChar(char c) const {
    checkValidityTag(tag_, kTag);
    return std::memchr(text_, c, length_) != nullptr;
}

bool StringBuffer::contains(const char* sub) const {
    checkValidityTag(tag_, kTag);
    return sub && (*sub == 0 || findIn(text_, length_, sub, false) >= 0);
}

bool StringBuffer::equals(const char* s) const {
    checkValidityTag(tag_, kTag);
    return s && std::strcmp(text_, s) == 0;
}

bool StringBuffer::beginsWith(const char* prefix) const {
    checkValidityTag(tag_, kTag);
    if (!prefix)
        return false;
    size_t n = std::strlen(prefix);
    return n <= length_ && std::memcmp(text_, prefix, n) == 0;
}

bool StringBuffer::endsWith(const char* suffix) const {
    checkValidityTag(tag_, kTag);
    if (!suffix)
        return false;
    size_t n = std::strlen(suffix);
    return n <= length_ && std::memcmp(text_ + length_ - n, suffix, n) == 0;
}

char StringBuffer::lastChar() const {
    checkValidityTag(tag_, kTag);
    return length_ ? text_[length_ - 1] : 0;
}

} // namespace vexmar

// A NUL-terminated 8-bit string. Strings of up to 81 characters live in an
// inline area and need no heap allocation.
#pragma once

#include "zip/base/VexmarObject.h"

#include <cstdint>

namespace vexmar {

class StringBuffer : public VexmarObject {
public:
    static constexpr uint32_t kInlineSize = 82;

    StringBuffer();
    explicit StringBuffer(const char* s);
    ~StringBuffer() override;
    StringBuffer(const StringBuffer&) = delete;
    StringBuffer& operator=(const StringBuffer&) = delete;

    // Every operation that grows the string returns false (string unchanged)
    // when memory runs out.
    [[nodiscard]] bool append(const char* s);
    [[nodiscard]] bool append(const char* s, uint32_t n);
    [[nodiscard]] bool append(const StringBuffer& other);
    [[nodiscard]] bool appendChar(char c);
    [[nodiscard]] bool appendCharN(char c, uint32_t n);
    [[nodiscard]] bool appendInt64(int64_t value);   // decimal
    [[nodiscard]] bool appendUInt64(uint64_t value); // decimal
    bool setString(const char* s);
    bool setString(const char* s, uint32_t n);

    void clear();
    // Removes spaces, tabs, CR and LF at both ends.
    void trim();
    // Returns how many characters were replaced.
    uint32_t replaceAllChars(char from, char to);
    bool replaceFirst(const char* find, const char* replacement);
    bool replaceLast(const char* find, const char* replacement);
    // Drops the last n characters (all of them when n exceeds the length).
    void shorten(uint32_t n);

    void removeChar(char c);
    // Removes every *, <, >, ? and | (characters no entry name may keep).
    void removeNameUnsafeChars();
    // Keeps what follows the last separator, after turning / into \; works on
    // at most the first 2048 characters.
    bool keepLastPathComponent();

    bool containsChar(char c) const;
    bool contains(const char* sub) const;
    bool equals(const char* s) const;
    bool beginsWith(const char* prefix) const;
    bool endsWith(const char* suffix) const;
    // 0 when empty.
    char lastChar() const;

    const char* getString() const { return text_; }
    uint32_t getSize() const { return length_; }
    bool isEmpty() const { return length_ == 0; }
    // Bytes the text may use, terminator included.
    uint32_t getCapacity() const { return heap_ ? heapCapacity_ : kInlineSize; }
    bool isInline() const { return heap_ == nullptr; }

    // Zeroes the text before its memory is released or reused.
    void setWipe(bool wipe) { wipe_ = wipe ? 1 : 0; }

private:
    bool grow(uint32_t added);
    template <typename Drop> void removeIf(Drop drop);
    bool replaceAt(uint32_t pos, uint32_t findLen, const char* replacement);

    uint8_t tag_;
    uint8_t wipe_ = 0;
    char inline_[kInlineSize];
    char* heap_ = nullptr;
    uint32_t heapCapacity_ = 0;
    uint32_t length_ = 0;
    uint32_t increment_ = 202;
    char* text_;
};

} // namespace vexmar

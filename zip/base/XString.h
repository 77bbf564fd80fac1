// One text value held in up to three forms: UTF-16, the process's ANSI code
// page and UTF-8. A form that is asked for but not current is converted from
// one that is, and kept. (Where the ANSI code page is a table page, as on
// Windows, its form needs the table unpacker registered: PackedTables.h.)
#pragma once

#include "zip/base/DataBuffer.h"
#include "zip/base/StringBuffer.h"
#include "zip/base/VexmarObject.h"

#include <cstdint>

namespace vexmar {

class XString : public VexmarObject {
public:
    XString();
    ~XString() override;
    XString(const XString&) = delete;
    XString& operator=(const XString&) = delete;

    // Setting makes the given form the only current one. A leading UTF-8
    // byte-order mark is dropped. All return false when memory runs out.
    bool setFromUtf8(const char* s);
    bool setFromUtf8(const char* s, uint32_t n);
    bool setFromAnsi(const char* s);
    bool setFromWide(const char16_t* s);
    bool setFromWide(const char16_t* s, uint32_t units);
    // wchar_t text: UTF-16 on Windows, UTF-32 elsewhere.
    bool setFromWchar(const wchar_t* s);
    bool setFromSbUtf8(const StringBuffer& s);
    bool setFromX(const XString& other);

    bool appendUtf8(const char* s);
    bool appendUtf8(const char* s, uint32_t n);
    bool appendAnsi(const char* s);
    bool appendWide(const char16_t* s);
    bool appendX(const XString& other);

    // Never null. A failed conversion gives what could be converted.
    const char* getUtf8() const;
    const char* getAnsi() const;
    const char16_t* getWide() const;
    const StringBuffer& getUtf8Sb() const;
    uint32_t getSizeUtf8() const;
    // Bytes of the ANSI form when that form is current, otherwise UTF-16 units.
    uint32_t getNumChars() const;
    bool isEmpty() const;

    void clear();
    // Removes spaces, tabs, CR and LF at both ends.
    bool trim();
    bool replaceAllChars(char16_t from, char16_t to);
    // Substrings are UTF-8 text; comparisons are case-sensitive.
    bool replaceFirst(const char* findUtf8, const char* replacementUtf8);
    bool beginsWithUtf8(const char* prefix) const;
    bool endsWithUtf8(const char* suffix) const;
    bool containsUtf8(const char* sub) const;
    // Position in UTF-16 units, -1 when absent.
    int indexOfUtf8(const char* sub) const;
    bool removeChar(char16_t c);
    bool equalsUtf8(const char* s) const;

    // Zeroes all three forms before their memory is released.
    void setWipe(bool wipe);

private:
    void check() const;
    bool convertCurrent(int toCodePage, DataBuffer& out) const;
    bool makeUtf8Current() const;
    bool makeWideCurrent() const;
    template <typename Edit> bool editUtf8(Edit edit);
    template <typename Edit> bool editWide(Edit edit);
    void onlyUtf8();
    void onlyWide();
    bool setWideUnits(const char16_t* s, uint32_t units);

    uint32_t tag_;
    mutable uint8_t wideValid_ = 0;
    mutable uint8_t ansiValid_ = 1;
    mutable uint8_t utf8Valid_ = 1;
    mutable DataBuffer wide_;
    mutable StringBuffer ansi_;
    mutable StringBuffer utf8_;
};

} // namespace vexmar

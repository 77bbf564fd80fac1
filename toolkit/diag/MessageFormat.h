// Formatting in the Windows message syntax, as the string tables' templates use
// it: %1 to %99 take inserts, "%1!d!" gives an insert a printf conversion, %0 ends
// the text, %n is a line break (CR LF), %r, %t, %b are CR, tab and blank, and %%,
// %., %! stand for the character itself.
#pragma once

#include "toolkit/diag/Text.h"

#include <cstdint>
#include <initializer_list>

namespace Quillkit {

// One insert: a number or a text (which must outlive the formatting call).
class MessageInsert {
public:
    MessageInsert(int value) : number_(value) {}
    MessageInsert(unsigned value) : number_(value) {}
    MessageInsert(long value) : number_(value) {}
    MessageInsert(unsigned long value) : number_(int64_t(value)) {}
    MessageInsert(long long value) : number_(value) {}
    MessageInsert(unsigned long long value) : number_(int64_t(value)) {}
    MessageInsert(const WChar* text) : text_(text), isText_(true) {}
    MessageInsert(const WString& text) : text_(text.c_str()), isText_(true) {}

    bool IsText() const { return isText_; }
    int64_t Number() const { return number_; }
    const WChar* Text() const { return text_; }

private:
    int64_t number_ = 0;
    const WChar* text_ = nullptr;
    bool isText_ = false;
};

// An insert number beyond the inserts given stays in the text as it was written.
WString FormatMessageText(const WChar* templ, const MessageInsert* inserts, size_t count);

inline WString FormatMessageText(const WChar* templ, std::initializer_list<MessageInsert> inserts) {
    return FormatMessageText(templ, inserts.begin(), inserts.size());
}

} // namespace Quillkit

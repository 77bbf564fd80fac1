// The structural check every StrictPath passes after each change, and the
// character classes it rests on.
#pragma once

#include "toolkit/diag/Text.h"

namespace Quillkit {

class StrictPath;

// Character classes, with the values of the shell's path character types.
constexpr unsigned kCharInvalid = 0;
constexpr unsigned kCharLongName = 1;
constexpr unsigned kCharShortName = 2;
constexpr unsigned kCharName = 3;
constexpr unsigned kCharWildcard = 4;
constexpr unsigned kCharSeparator = 8;

// The class of the character at `position`: 3 for the terminating NUL, else
// PathGetCharTypeW's answer when it can be bound, else BuiltInCharType.
unsigned GetCharType(const WChar* position);

// The toolkit's own table: control characters and " < > | invalid; space, comma
// and semicolon long names only; * ? wildcards; : \ / separators; the rest 3.
unsigned BuiltInCharType(WChar unit);

// Raises -41 on the first rule `path`'s text breaks under its attributes, or
// repairs the text in place when kFixInvalid is set.
void CheckPath(StrictPath& path);

} // namespace Quillkit

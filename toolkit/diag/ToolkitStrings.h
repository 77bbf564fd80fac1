// The toolkit's own message strings (ids 9000 and up), read from the string tables
// of the module that holds the toolkit's code, in the toolkit's UI language.
#pragma once

#include "os/ModuleInfo.h"
#include "toolkit/diag/MessageFormat.h"
#include "toolkit/diag/Text.h"

#include <cstdint>

namespace Quillkit {

// The module that contains the toolkit's code: its string tables are the ones read.
os::ModuleHandle GetThisModuleHandle();

// String `id` in the current UI language; id 0 is the template "%1". A string that
// cannot be loaded reads "#" and its id (and the failure goes on as an error).
WString LoadToolkitString(uint32_t id);

// String `id` formatted in the message syntax with `inserts`.
template <typename... Inserts> WString LoadToolkitString(uint32_t id, const Inserts&... inserts) {
    const MessageInsert list[] = {MessageInsert(inserts)...};
    return FormatMessageText(LoadToolkitString(id).c_str(), list, sizeof...(Inserts));
}

// The check, run once when the shared output data is first set, that this
// module carries the toolkit's strings; a module without them shows why in a
// message box. Later loads rely on its answer.
void VerifyToolkitStrings();

} // namespace Quillkit

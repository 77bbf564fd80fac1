// The check of a folder path typed by a user, with a Windows error code and a
// message for a message box. It never raises for a bad path.
#pragma once

#include "toolkit/diag/Text.h"

#include <cstdint>

namespace Quillkit {

// 0 when `path` names an existing directory that passes every rule. Otherwise a
// Windows code: 3 a well-formed folder that does not exist yet, 13 NULL or
// empty (`message` untouched), 15 no such drive, 123 not a drive or UNC path, 267
// too long, a reserved device name, a component that is a file, an invalid
// character, or a character the system's code page lacks. `message` is then the
// localised text to show.
uint32_t ValidateFolderPath(const WChar* path, WString& message);

// The name of a language for the messages above (empty for an unknown one).
WString LanguageDisplayName(uint32_t languageId);

} // namespace Quillkit

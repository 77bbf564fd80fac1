// The launcher's texts (string ids 132 to 166), loaded with a fatal stop when one
// is missing: a launcher without its texts is corrupt.
#pragma once

#include "toolkit/diag/Text.h"

#include <cstdint>
#include <exception>

namespace Quillkit {

// Thrown by LoadLauncherString after its message box; carries the box's text.
class FatalResourceError : public std::exception {
public:
    explicit FatalResourceError(WString text) : text_(std::move(text)) {}
    const char* what() const noexcept override { return "a launcher string is missing"; }
    const WString& Text() const { return text_; }

private:
    WString text_;
};

// String `id` in the current UI language. When it cannot be loaded, shows
// "Attempted to load a nonexistent resource id" in a box captioned "Fatal error"
// and throws FatalResourceError.
WString LoadLauncherString(uint32_t id);

// Tells the loader which window owns its box: the application's main window, or
// null while there is none.
using MainWindowQuery = void* (*)();
void SetMainWindowQuery(MainWindowQuery query);

} // namespace Quillkit

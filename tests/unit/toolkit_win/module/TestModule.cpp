// A library built with the toolkit, loaded by the Windows tests: a second module
// of the process that must adopt the executable's shared output data.
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/SharedOutput.h"

extern "C" __declspec(dllexport) Quillkit::MetaOutputData* QuillkitTestModule_SharedOutput() {
    return Quillkit::GetSharedOutputData();
}

extern "C" __declspec(dllexport) void QuillkitTestModule_Log(const wchar_t* text) {
    Quillkit::LogDebugMessage(L"%s", text);
}

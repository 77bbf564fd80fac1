#include "app/TextFormat.h"

#include "resources/StringIds.h"
#include "toolkit/diag/PrintfFormat.h"
#include "toolkit/ui/LauncherStrings.h"

#include <cstdarg>
#include <vector>

os::wstring FormatMessageString(const os::wstring& templ,
                                std::initializer_list<DWORD_PTR> inserts) {
    std::vector<DWORD_PTR> arguments(inserts);
    arguments.push_back(0);
    // The formatter gives no size hint: grow the buffer until the text fits.
    for (DWORD size = 128;; size += 128) {
        std::vector<wchar_t> buffer(size);
        DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                      templ.c_str(), 0, 0, buffer.data(), size,
                                      reinterpret_cast<va_list*>(arguments.data()));
        if (length)
            return os::wstring(buffer.data(), length);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size >= 0x10000)
            return {};
    }
}

os::wstring FormatPrintfString(const wchar_t* format, ...) {
    os::wstring text;
    va_list arguments;
    va_start(arguments, format);
    Quillkit::FormatPrintfV(text, format, arguments);
    va_end(arguments);
    return text;
}

os::wstring GetInstallerTitle() {
    os::wstring suite = Quillkit::LoadLauncherString(StringId::kSuiteName);
    return FormatMessageString(Quillkit::LoadLauncherString(StringId::kInstallerTitle),
                               {MessageArg(suite)});
}

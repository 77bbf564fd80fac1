#include "app/SpaceCheck.h"

#include "app/ExtractionRun.h"
#include "app/FreeSpace.h"
#include "app/LauncherBox.h"
#include "app/TextFormat.h"
#include "framework/App.h"
#include "resources/StringIds.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/ui/LauncherStrings.h"

#include <string>

using Quillkit::LoadLauncherString;

bool PayloadFits(uint64_t bytes, const wchar_t* directory) {
    SpaceVerdict verdict = CheckFreeSpace(directory, bytes);
    if (!verdict.known) {
        Quillkit::LogDebugMessage(
            L"Free space: unknown for '%s' (error %lu); extracting %llu bytes", directory,
            static_cast<unsigned long>(verdict.error), static_cast<unsigned long long>(bytes));
        return true;
    }
    Quillkit::LogDebugMessage(
        L"Free space: %llu bytes to write, %llu needed with the reserve, %llu free on the "
        L"volume of '%s'",
        static_cast<unsigned long long>(bytes), static_cast<unsigned long long>(verdict.needed),
        static_cast<unsigned long long>(verdict.free), verdict.askedFor.c_str());
    if (verdict.fits)
        return true;

    // Through our own formatter: the library's wide one alone would add 12 KB.
    os::wstring needed = FormatPrintfString(
        L"%llu", static_cast<unsigned long long>(MegabytesRoundedUp(verdict.needed)));
    os::wstring free = FormatPrintfString(
        L"%llu", static_cast<unsigned long long>(MegabytesRoundedDown(verdict.free)));
    os::wstring text =
        FormatMessageString(LoadLauncherString(StringId::kNotEnoughSpace),
                            {MessageArg(directory), MessageArg(needed), MessageArg(free)});
    RestoreArrowCursor();
    LauncherBox(CWinApp::MainWindowHandle(), text, LoadLauncherString(StringId::kErrorCaption),
                MB_ICONWARNING | MB_OK);
    return false;
}

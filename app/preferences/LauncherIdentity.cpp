#include "app/preferences/LauncherIdentity.h"

#include "exe/StringResource.h"

namespace Pellquin {

namespace {

// The string ids the launcher is built with (resources/strings/strings.json).
constexpr uint32_t kSuiteNameId = 133;
constexpr uint32_t kSuiteFolderId = 134;
constexpr uint32_t kSuiteGuidId = 136;
constexpr uint32_t kSetupProgramId = 154;
constexpr uint32_t kSuiteDescriptionId = 155;
constexpr uint32_t kUiLanguagesId = 163;

os::wstring stringOf(const ExeImage& image, uint32_t id, const char* fallback = "") {
    std::u16string text;
    if (!readStringResource(image, id, 0, text))
        return os::fromUtf8(fallback);
    return os::wstring(text.begin(), text.end());
}

} // namespace

LauncherIdentity ReadLauncherIdentity(const ExeImage& image) {
    LauncherIdentity id;
    id.suiteName = stringOf(image, kSuiteNameId);
    id.suiteFolder = stringOf(image, kSuiteFolderId);
    id.suiteGuid = stringOf(image, kSuiteGuidId);
    id.setupProgram = stringOf(image, kSetupProgramId, "setup.exe");
    id.suiteDescription = stringOf(image, kSuiteDescriptionId, "orvsuite.xml");
    id.uiLanguages = stringOf(image, kUiLanguagesId);
    return id;
}

std::string InstallerEntryName(const os::wstring& fileName) {
    return "Installer/" + os::toUtf8(fileName);
}

} // namespace Pellquin

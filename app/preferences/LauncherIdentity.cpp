#include "app/preferences/LauncherIdentity.h"

#include "exe/StringResource.h"
#include "resources/StringIds.h"

namespace Pellquin {

namespace {

os::wstring stringOf(const vexmar::ExeImage& image, uint32_t id, const char* fallback = "") {
    std::u16string text;
    if (!vexmar::readStringResource(image, id, 0, text))
        return os::fromUtf8(fallback);
    return os::wstring(text.begin(), text.end());
}

} // namespace

LauncherIdentity ReadLauncherIdentity(const vexmar::ExeImage& image) {
    LauncherIdentity id;
    id.suiteName = stringOf(image, StringId::kSuiteName);
    id.suiteFolder = stringOf(image, StringId::kSuiteFolder);
    id.suiteGuid = stringOf(image, StringId::kSuiteGuid);
    id.setupProgram = stringOf(image, StringId::kSetupProgram, "setup.exe");
    id.suiteDescription = stringOf(image, StringId::kSuiteDescription, "orvsuite.xml");
    id.uiLanguages = stringOf(image, StringId::kUiLanguages);
    return id;
}

std::string InstallerEntryName(const os::wstring& fileName) {
    return "Installer/" + os::toUtf8(fileName);
}

} // namespace Pellquin

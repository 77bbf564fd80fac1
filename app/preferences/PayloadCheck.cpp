#include "app/preferences/PayloadCheck.h"

#include "app/preferences/DescriptionScan.h"
#include "app/preferences/SuiteGuid.h"
#include "exe/ExeImage.h"
#include "zip/base/LogNull.h"
#include "zip/base/XString.h"
#include "zip/facade/VxZipW.h"

#include <memory>

namespace Pellquin {

namespace {

bool sameEntryName(const std::string& name, const std::string& wanted) {
    if (name.size() != wanted.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char a = name[i] == '\\' ? '/' : name[i];
        char b = wanted[i];
        if (a >= 'A' && a <= 'Z')
            a = char(a + ('a' - 'A'));
        if (b >= 'A' && b <= 'Z')
            b = char(b + ('a' - 'A'));
        if (a != b)
            return false;
    }
    return true;
}

} // namespace

PayloadFacts ExaminePayload(vexmar::VxZipW& zip, const LauncherIdentity& launcher) {
    PayloadFacts facts;
    const std::string setup = InstallerEntryName(launcher.setupProgram);
    const std::string description = InstallerEntryName(launcher.suiteDescription);
    const uint32_t count = zip.NumEntries();
    for (uint32_t i = 0; i < count; ++i) {
        vexmar::VxEntryInfo info;
        if (!zip.GetEntryInfo(i, info) || info.isDirectory)
            continue;
        if (!facts.hasSetup && sameEntryName(info.nameUtf8, setup))
            facts.hasSetup = true;
        if (facts.hasDescription || !sameEntryName(info.nameUtf8, description))
            continue;
        facts.hasDescription = true;
        DescriptionScan scan;
        facts.descriptionRead = zip.ReadEntry(i, [&scan](const uint8_t* data, size_t length) {
            scan.feed(data, length);
            return true;
        });
        scan.finish();
        if (facts.descriptionRead && scan.found())
            facts.describedGuid = scan.guid();
    }
    facts.sameSuite = facts.descriptionRead && !facts.describedGuid.empty() &&
                      SameSuiteGuid(facts.describedGuid, launcher.suiteGuid);
    return facts;
}

std::string PayloadFault(const PayloadFacts& facts, const LauncherIdentity& launcher) {
    const std::string setup = InstallerEntryName(launcher.setupProgram);
    const std::string description = InstallerEntryName(launcher.suiteDescription);
    if (!facts.hasSetup)
        return "the payload has no " + setup + ", which the installer starts";
    if (!facts.hasDescription)
        return "the payload has no " + description + " naming the suite";
    if (!facts.descriptionRead)
        return description + " in the payload cannot be decoded";
    if (facts.describedGuid.empty())
        return description + " names no suite (no <suiteid packageguid=\"{...}\"> on one line)";
    if (!facts.sameSuite)
        return description + " names the suite " + os::toUtf8(facts.describedGuid) +
               ", not the launcher's " + os::toUtf8(launcher.suiteGuid);
    return std::string();
}

PayloadRefusal CheckPayloadForLauncher(const os::wstring& exePath, const os::wstring& zipPath) {
    PayloadRefusal refusal;
    vexmar::XString path;
    path.setFromUtf8(os::toUtf8(exePath).c_str());
    vexmar::LogNull log;
    std::unique_ptr<vexmar::ExeImage> image = vexmar::ExeImage::loadExe(path, log);
    if (!image || !image->resources())
        return refusal;
    const LauncherIdentity launcher = ReadLauncherIdentity(*image);
    image.reset();
    if (launcher.suiteGuid.empty()) {
        refusal.launcherAtFault = true;
        refusal.reason = "not a launcher: it names no suite GUID (string 136)";
        return refusal;
    }
    vexmar::VxZipW zip;
    if (!zip.OpenFromFile(zipPath.c_str()))
        return refusal;
    refusal.reason = PayloadFault(ExaminePayload(zip, launcher), launcher);
    return refusal;
}

} // namespace Pellquin

// vxzip info: what an installer is, read from its file without running it.
#include "app/preferences/PayloadCheck.h"
#include "exe/ExeImage.h"
#include "exe/PeFormat.h"
#include "exe/VersionInfo.h"
#include "os/Stdio.h"
#include "tools/vxzip/Command.h"
#include "tools/vxzip/Report.h"
#include "zip/base/LogNull.h"
#include "zip/base/XString.h"

#include <cstdio>
#include <memory>

using namespace vexmar;

namespace vxzip {

namespace {

void line(const char* label, const std::string& value) {
    std::printf("%-18s%s\n", label, value.c_str());
}

std::string utf8(const std::u16string& text) {
    return os::toUtf8(os::wstring(text.begin(), text.end()));
}

// "(none)" stands for a string the launcher lacks.
std::string orNone(const os::wstring& text) {
    return text.empty() ? "(none)" : os::toUtf8(text);
}

void printLauncher(const ExeImage& image, const Pellquin::LauncherIdentity& id) {
    line("format:", image.ntHeader().isPe32Plus() ? "PE32+ (64-bit)" : "PE32 (32-bit)");
    line("suite name:", orNone(id.suiteName));
    line("suite folder:", orNone(id.suiteFolder));
    line("suite GUID:", orNone(id.suiteGuid));
    line("UI languages:", orNone(id.uiLanguages));
    const bool signedImage = image.ntHeader().dataDirectory(pe::kDirCertificate).size != 0;
    line("signed:", signedImage ? "yes (a certificate table is present)" : "no");
    for (const auto& [key, value] : readVersionStrings(image))
        line((utf8(key) + ":").c_str(), utf8(value));
}

void warn(const std::string& exe, const std::string& text) {
    reportFailure(exe, "warning: " + text);
}

// The payload's entries and size, what it holds of what the launcher needs, and
// a warning for what would make the installer fail.
void printPayload(VxZipW& zip, uint32_t resourceSize, const Pellquin::LauncherIdentity& id,
                  const std::string& exe) {
    uint64_t size = 0;
    const uint32_t count = zip.NumEntries();
    for (uint32_t i = 0; i < count; ++i) {
        VxEntryInfo info;
        if (zip.GetEntryInfo(i, info))
            size += info.size;
    }
    line("payload:", counted(count, "entry", "entries") + ", " +
                         counted(resourceSize, "byte", "bytes") + " (" +
                         counted(size, "byte", "bytes") + " unpacked)");
    const Pellquin::PayloadFacts facts = Pellquin::ExaminePayload(zip, id);
    line("setup program:", Pellquin::InstallerEntryName(id.setupProgram) +
                               (facts.hasSetup ? " present" : " missing"));
    std::string description = Pellquin::InstallerEntryName(id.suiteDescription);
    if (!facts.hasDescription)
        description += " missing";
    else if (!facts.describedGuid.empty())
        description += " names " + os::toUtf8(facts.describedGuid) +
                       (facts.sameSuite ? " (this launcher's suite)" : " (another suite)");
    else
        description += facts.descriptionRead ? " names no suite" : " cannot be decoded";
    line("suite file:", description);
    if (id.suiteGuid.empty())
        return;
    const std::string fault = Pellquin::PayloadFault(facts, id);
    if (fault.empty())
        return;
    if (facts.hasSetup && facts.hasDescription && facts.descriptionRead)
        warn(exe, fault + ": the installer would refuse its own folder when run again");
    else
        warn(exe, fault);
}

} // namespace

int infoCommand(const Options& options) {
    const std::string& exe = options.operands[0];
    XString path;
    path.setFromUtf8(exe.c_str());
    LogNull quiet;
    std::unique_ptr<ExeImage> image = ExeImage::loadExe(path, quiet);
    VxZipW zip;
    if (!image) {
        // Opened again through the archive, whose log says why it cannot be read.
        openArchive(zip, options);
        return kFailed;
    }
    const Pellquin::LauncherIdentity id = Pellquin::ReadLauncherIdentity(*image);
    printLauncher(*image, id);
    if (id.suiteGuid.empty())
        warn(exe, "not a launcher: it names no suite GUID (string 136)");
    const os::wstring wideResource = os::fromUtf8(options.resourceName);
    const std::u16string resource(wideResource.begin(), wideResource.end());
    const ExeResource* payload = image->lookUpNamed(resource);
    const uint32_t resourceSize = payload ? payload->dataSize : 0;
    image.reset();
    if (!payload) {
        line("payload:", "none (no " + options.resourceName + " resource)");
        std::fflush(stdout);
        return kOk;
    }
    std::fflush(stdout);
    if (!openArchive(zip, options))
        return kFailed;
    printPayload(zip, resourceSize, id, exe);
    return kOk;
}

} // namespace vxzip

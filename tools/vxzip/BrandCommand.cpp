// vxzip brand: makes a built launcher another suite's, by rewriting its string
// tables, banner, icon and version resource. Every input is checked before the
// executable is touched, and the executable changes only when all of it worked.
#include "exe/ExeImage.h"
#include "exe/IconFile.h"
#include "exe/StringResource.h"
#include "exe/VersionInfo.h"
#include "resources/StringIds.h"
#include "tools/vxzip/BrandInputs.h"
#include "tools/vxzip/Cause.h"
#include "tools/vxzip/Command.h"
#include "tools/vxzip/LogTree.h"
#include "tools/vxzip/Report.h"
#include "zip/base/Logger.h"
#include "zip/base/StringBuffer.h"
#include "zip/base/XString.h"
#include "zip/facade/ExeRewrite.h"

#include <string>

using namespace vexmar;

namespace vxzip {

namespace {

constexpr uint16_t kIconGroup = 128;
const std::u16string kBanner = u"IDB_TOPSTRIP0";
// The dialog takes the first of IDB_TOPSTRIP0..9 that fits best: a new banner
// must be the only one.
constexpr int kBannerSlots = 10;
const char kSignedRefusal[] = "The executable is signed; brand it before signing it.";

std::u16string stringOf(const ExeImage& image, uint32_t id) {
    std::u16string text;
    readStringResource(image, id, 0, text);
    return text;
}

void replaceAll(std::u16string& text, const std::u16string& from, const std::u16string& to) {
    for (size_t at = text.find(from); at != std::u16string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The web address in a text: from "http" to the first blank, closing
// parenthesis or character beyond ASCII, without a closing full stop.
bool replaceWebAddress(std::u16string& text, const std::u16string& url) {
    size_t start = text.find(u"https://");
    if (start == std::u16string::npos)
        start = text.find(u"http://");
    if (start == std::u16string::npos)
        return false;
    size_t end = start;
    while (end < text.size() && text[end] > u' ' && text[end] < 0x7F && text[end] != u')' &&
           text[end] != u'"')
        ++end;
    while (end > start && (text[end - 1] == u'.' || text[end - 1] == u',' || text[end - 1] == u';'))
        --end;
    text.replace(start, end - start, url);
    return true;
}

bool isIdentityString(uint32_t id) {
    return id == StringId::kSuiteName || id == StringId::kSuiteFolder ||
           id == StringId::kSuiteGuid || id == StringId::kUiLanguages;
}

// What a launcher says of itself before branding: what --vendor and --name
// replace in the texts derived from them.
struct Before {
    std::u16string vendor;
    std::u16string name;
    VersionStrings version;
};

std::u16string valueOf(const VersionStrings& strings, const std::u16string& key) {
    for (const auto& [k, v] : strings)
        if (k == key)
            return v;
    return {};
}

// The version texts to set: those given, and those the build derives from the
// name and the vendor when they still hold the derived value.
VersionStrings versionTexts(const BrandInputs& in, const Before& before) {
    VersionStrings texts;
    const auto derived = [&](const char16_t* key, const std::u16string& old,
                             const std::u16string& now) {
        if (valueOf(before.version, key) == old && old != now)
            texts.emplace_back(key, now);
    };
    std::optional<std::u16string> company = in.company;
    if (!company && in.vendor && valueOf(before.version, u"CompanyName") == before.vendor)
        company = in.vendor;
    if (company) {
        texts.emplace_back(u"CompanyName", *company);
        derived(u"LegalCopyright", u"Copyright (C) " + valueOf(before.version, u"CompanyName"),
                u"Copyright (C) " + *company);
    }
    if (in.product)
        texts.emplace_back(u"ProductName", *in.product);
    else if (in.name)
        derived(u"ProductName", before.name, *in.name);
    if (in.name)
        derived(u"FileDescription", before.name + u" web-based installer",
                *in.name + u" web-based installer");
    if (in.version) {
        const auto& v = *in.version;
        std::string text = std::to_string(v[0]) + "." + std::to_string(v[1]) + "." +
                           std::to_string(v[2]) + "." + std::to_string(v[3]);
        const std::u16string wide(text.begin(), text.end());
        texts.emplace_back(u"FileVersion", wide);
        texts.emplace_back(u"ProductVersion", wide);
    }
    return texts;
}

bool brandStrings(ExeImage& image, const BrandInputs& in, const Before& before, LogBase& log) {
    bool missingAddress = false;
    const bool ok = editStringTables(
        image,
        [&](uint32_t id, uint16_t, std::u16string& text) {
            if (in.vendor && !isIdentityString(id) && !before.vendor.empty())
                replaceAll(text, before.vendor, *in.vendor);
            if (in.url && id == StringId::kExtractedTo && !text.empty() &&
                !replaceWebAddress(text, *in.url))
                missingAddress = true;
            const std::optional<std::u16string>* given =
                id == StringId::kSuiteName     ? &in.name
                : id == StringId::kSuiteFolder ? &in.folder
                : id == StringId::kSuiteGuid   ? &in.guid
                : id == StringId::kUiLanguages ? &in.languages
                                               : nullptr;
            if (given && *given && !text.empty())
                text = **given;
        },
        log);
    if (missingAddress) {
        log.logError("A table's string 152 holds no web address to replace");
        return false;
    }
    return ok;
}

bool brandBanner(ExeImage& image, const std::vector<uint8_t>& banner, LogBase& log) {
    const ResourceKey type = ResourceKey::ofId(restype::kBitmap);
    std::vector<uint16_t> languages = image.languagesOf(type, ResourceKey::ofName(kBanner));
    if (languages.empty()) {
        log.logError("The executable has no banner bitmap IDB_TOPSTRIP0");
        return false;
    }
    for (uint16_t language : languages)
        if (!image.setResource(type, ResourceKey::ofName(kBanner), language, banner, log))
            return false;
    for (int slot = 1; slot < kBannerSlots; ++slot) {
        const std::string name = "IDB_TOPSTRIP" + std::to_string(slot);
        const ResourceKey key = ResourceKey::ofName(std::u16string(name.begin(), name.end()));
        for (uint16_t language : image.languagesOf(type, key))
            if (!image.removeResource(type, key, language, log))
                return false;
    }
    return true;
}

bool brand(ExeImage& image, const BrandInputs& in, const Before& before, LogBase& log) {
    const bool strings = in.name || in.folder || in.guid || in.languages || in.vendor || in.url;
    if (strings && !brandStrings(image, in, before, log))
        return false;
    if (in.banner && !brandBanner(image, *in.banner, log))
        return false;
    if (in.icon && !replaceIconGroup(image, kIconGroup, *in.icon, log))
        return false;
    const VersionStrings texts = versionTexts(in, before);
    const bool asked = in.company || in.product || in.version;
    const bool hasVersion = !before.version.empty();
    if ((asked || (hasVersion && !texts.empty())) &&
        !editVersionInfo(image, texts, in.version ? &*in.version : nullptr, log))
        return false;
    return true;
}

// The launcher's own strings that branding needs, and what it cannot brand.
std::string launcherFault(const ExeImage& image, const BrandInputs& in) {
    if (image.isSigned())
        return kSignedRefusal;
    if (stringOf(image, StringId::kSuiteGuid).empty())
        return "not a launcher: it names no suite GUID (string 136)";
    if (in.vendor && stringOf(image, StringId::kVendorName).empty())
        return "the launcher names no vendor (string 169): it predates --vendor";
    // The launcher reads the reserve as a decimal number: its leading digits, 0 without.
    int reserve = 0;
    for (char16_t c : stringOf(image, StringId::kInstallerPathReserve)) {
        if (c < u'0' || c > u'9' || reserve > 100000)
            break;
        reserve = reserve * 10 + (c - u'0');
    }
    return checkAgainstBudget(in, reserve);
}

std::string causeOfLog(Logger& log) {
    StringBuffer xml;
    log.errorXml(xml);
    const LogNode tree = readLogTree(xml.getString());
    const Cause cause = causeOf(tree, CauseFacts{});
    if (!cause.text.empty())
        return cause.text;
    // Branding's own refusals are plain enough to show as they are.
    const LogNode* error = tree.findFirst("error");
    return error ? error->text : "the executable could not be branded";
}

} // namespace

int brandCommand(const Options& options) {
    const std::string& exe = options.operands[0];
    BrandInputs inputs;
    std::string file;
    std::string problem;
    if (!readBrandInputs(options.brand, inputs, file, problem)) {
        reportFailure(file.empty() ? exe : file, problem);
        return kFailed;
    }
    XString path;
    path.setFromUtf8(exe.c_str());
    Before before;
    {
        Logger log;
        std::unique_ptr<ExeImage> image = ExeImage::loadExe(path, log);
        if (!image) {
            reportFailure(exe, causeOfLog(log));
            return kFailed;
        }
        const std::string fault = launcherFault(*image, inputs);
        if (!fault.empty()) {
            reportFailure(exe, fault);
            return kFailed;
        }
        before = {stringOf(*image, StringId::kVendorName), stringOf(*image, StringId::kSuiteName),
                  readVersionStrings(*image)};
    }
    Logger log;
    const bool ok = rewriteExe(
        path, kSignedRefusal,
        [&](ExeImage& image, LogBase& editLog) { return brand(image, inputs, before, editLog); },
        log);
    if (!ok)
        reportFailure(exe, causeOfLog(log));
    if (options.printLog) {
        StringBuffer xml;
        log.errorXml(xml);
        std::fputs(xml.getString(), stdout);
    }
    return ok ? kOk : kFailed;
}

} // namespace vxzip

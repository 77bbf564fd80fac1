#include "tools/vxzip/BrandInputs.h"

#include "app/preferences/SuiteIdentityRules.h"
#include "exe/BitmapFile.h"
#include "os/File.h"

using namespace vexmar;

namespace vxzip {

namespace {

// A banner wider or taller than this is no banner; within it the dialog's
// choice of banner scores sizes without overflow.
constexpr uint32_t kMaxBannerSide = 4096;
constexpr size_t kMaxTextLength = 1024;

std::u16string wide(const std::string& utf8) {
    const os::wstring text = os::fromUtf8(utf8);
    return std::u16string(text.begin(), text.end());
}

os::wstring osText(const std::u16string& text) {
    return os::wstring(text.begin(), text.end());
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

bool hasControl(const std::u16string& text) {
    for (char16_t c : text)
        if (c < 0x20 || c == 0x7F)
            return true;
    return false;
}

// A banner or icon file, whole; anything beyond 16 MB is no banner or icon.
bool readSmallFile(const std::string& path, std::vector<uint8_t>& bytes) {
    constexpr int64_t kLargest = 16 << 20;
    uint32_t error = 0;
    bool wideForm = false;
    os::FileHandle file = os::openFile(path.c_str(), os::FileOpenRequest{}, error, wideForm);
    if (file == os::kNoFile)
        return false;
    int64_t size = 0;
    bool ok = os::fileSize(file, size, error) && size <= kLargest;
    bytes.resize(ok ? size_t(size) : 0);
    for (uint32_t done = 0, at = 0; ok && at < bytes.size(); at += done)
        ok = os::readFile(file, &bytes[at], uint32_t(bytes.size() - at), done, error) && done > 0;
    os::closeFile(file);
    return ok;
}

// One to five decimal digits, 1 to 65535 (a LANGID).
bool parseLanguage(const std::string& text, uint32_t limit, uint16_t& value) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long number = std::stoul(text);
    value = uint16_t(number);
    return number <= limit;
}

bool parseVersion(const std::string& text, std::array<uint16_t, 4>& parts) {
    size_t start = 0;
    for (size_t i = 0; i < 4; ++i) {
        const size_t end = i < 3 ? text.find('.', start) : text.size();
        if (end == std::string::npos || !parseLanguage(text.substr(start, end - start), 65535,
                                                       parts[i]))
            return false;
        start = end + 1;
    }
    return true;
}

bool isLanguageList(const std::string& text) {
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        uint16_t language = 0;
        if (!parseLanguage(text.substr(start, comma - start), 65535, language) || language == 0)
            return false;
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

// An http or https address of printable ASCII, without blanks or the characters
// that end an address in running text.
bool isWebAddress(const std::string& text) {
    if (text.rfind("https://", 0) != 0 && text.rfind("http://", 0) != 0)
        return false;
    if (text.size() > kMaxTextLength)
        return false;
    const size_t host = text.find("//") + 2;
    if (host >= text.size())
        return false;
    for (char c : text)
        if (c <= ' ' || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '(' || c == ')')
            return false;
    const char last = text.back();
    return last != '.' && last != ',' && last != ';' && last != ':';
}

std::string textFault(const std::string& option, const std::u16string& text) {
    if (text.empty())
        return option + " is empty";
    if (hasControl(text))
        return option + " holds a control character";
    if (text.size() > kMaxTextLength)
        return option + " is longer than " + std::to_string(kMaxTextLength) + " characters";
    return {};
}

} // namespace

bool readBrandInputs(const std::vector<std::pair<std::string, std::string>>& options,
                     BrandInputs& inputs, std::string& file, std::string& problem) {
    file.clear();
    problem.clear();
    for (const auto& [option, value] : options) {
        const std::u16string text = wide(value);
        if (option == "--name" || option == "--company" || option == "--product") {
            problem = textFault(option, text);
            (option == "--name" ? inputs.name : option == "--company" ? inputs.company
                                                                       : inputs.product) = text;
        } else if (option == "--folder") {
            problem = textFault(option, text);
            if (problem.empty()) {
                const std::string fault = Pellquin::SuiteFolderFault(osText(text));
                if (!fault.empty())
                    problem = "--folder " + quoted(value) + " " + fault;
            }
            inputs.folder = text;
        } else if (option == "--vendor") {
            // The vendor names a folder (its preferences), and "VENDOR Downloads" another.
            problem = textFault(option, text);
            if (problem.empty()) {
                const std::string fault = Pellquin::FolderNameFault(osText(text));
                if (!fault.empty())
                    problem = "--vendor " + quoted(value) + " " + fault;
            }
            inputs.vendor = text;
        } else if (option == "--guid") {
            if (!Pellquin::IsBracedGuid(osText(text)))
                problem = "--guid " + quoted(value) +
                          " is not a GUID in braces, {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
            inputs.guid = text;
        } else if (option == "--languages") {
            if (!isLanguageList(value))
                problem = "--languages " + quoted(value) +
                          " is not a list of language ids (1 to 65535) separated by commas";
            inputs.languages = text;
        } else if (option == "--url") {
            if (!isWebAddress(value))
                problem = "--url " + quoted(value) +
                          " is not an http:// or https:// address without blanks";
            inputs.url = text;
        } else if (option == "--version") {
            std::array<uint16_t, 4> parts{};
            if (!parseVersion(value, parts))
                problem = "--version " + quoted(value) + " is not of the form A.B.C.D (each 0 to 65535)";
            inputs.version = parts;
        } else {
            std::vector<uint8_t> bytes;
            if (!readSmallFile(value, bytes)) {
                file = value;
                problem = "cannot read the file (or it is over 16 MB)";
                return false;
            }
            if (option == "--banner") {
                BitmapFacts facts;
                inputs.banner = readBitmapFile(bytes, kMaxBannerSide, facts, problem);
            } else {
                inputs.icon = readIconFile(bytes, problem);
            }
            if (!problem.empty()) {
                file = value;
                return false;
            }
        }
        if (!problem.empty())
            return false;
    }
    return true;
}

std::string checkAgainstBudget(const BrandInputs& inputs, int reserve) {
    const size_t longest = Pellquin::LongestSuiteFolder(reserve);
    const auto tooLong = [&](const char* option, const std::u16string& text) {
        return option + std::string(" has ") + std::to_string(text.size()) +
               " characters; the launcher would refuse every download folder beyond " +
               std::to_string(longest);
    };
    if (inputs.name && inputs.name->size() > longest)
        return tooLong("--name", *inputs.name);
    if (inputs.folder && inputs.folder->size() > longest)
        return tooLong("--folder", *inputs.folder);
    if (inputs.vendor && inputs.vendor->size() > longest)
        return tooLong("--vendor", *inputs.vendor);
    return {};
}

} // namespace vxzip

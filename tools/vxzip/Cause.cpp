#include "tools/vxzip/Cause.h"

namespace vxzip {

namespace {

enum class Kind {
    kFixed,       // the phrase as it stands
    kSystem,      // the system's reason, or the phrase when the log has none
    kSystemAfter, // the phrase, then the system's reason
    kResource,    // the phrase names the payload resource (%s)
    kPassword,    // depends on whether a password was given
};

struct Translation {
    const char* engineText; // found anywhere in an error of the log
    Kind kind;
    const char* phrase;
};

// The first error of the log that one of these matches gives the cause; errors
// come innermost first, so the most specific one is found first.
constexpr Translation kTranslations[] = {
    {"Failed to open file", Kind::kSystem, "cannot open the file"},
    {"Failed to read from file", Kind::kSystem, "cannot read the file"},
    {"The archive file is empty", Kind::kFixed, "not a ZIP archive (the file is empty)"},
    {"Failed to find end-of-central-directory-record", Kind::kFixed, "not a ZIP archive"},
    {"central dir", Kind::kFixed, "damaged ZIP archive: its list of entries cannot be read"},
    {"Did not find central file header signature", Kind::kFixed,
     "damaged ZIP archive: its list of entries cannot be read"},
    {"Nth central directory header", Kind::kFixed,
     "damaged ZIP archive: its list of entries cannot be read"},
    {"rva is NULL", Kind::kFixed, "the executable has no resource section"},
    {"prd is NULL", Kind::kFixed, "the executable's resource section is damaged"},
    {"Resource tree", Kind::kFixed, "the executable's resource section is damaged"},
    {"outside the resource section", Kind::kFixed, "the executable's resource section is damaged"},
    {"Resource data lies outside the file", Kind::kFixed,
     "the executable's resource section is damaged"},
    {"Invalid internal resource object", Kind::kFixed,
     "the executable's resource section is damaged"},
    {"DOS signature", Kind::kFixed, "not a Windows executable"},
    {"DOS header is truncated", Kind::kFixed, "not a Windows executable"},
    {"NT header", Kind::kFixed, "not a Windows executable, or a damaged one"},
    {"optional header magic", Kind::kFixed, "not a Windows executable, or a damaged one"},
    {"extends past the end of the file", Kind::kFixed, "damaged executable: it is cut short"},
    {"File is too large for an executable", Kind::kFixed, "too large for an executable"},
    {"Failed to find named resource", Kind::kResource, "the executable has no resource named %s"},
    {"already carries a resource of this name", Kind::kResource,
     "the executable already carries a resource named %s"},
    {"The executable is signed", Kind::kFixed,
     "The executable is signed; embed the payload before signing it."},
    {"A section after .rsrc", Kind::kFixed,
     "a section after the resource section holds code or data that cannot be moved"},
    {"The ZIP file cannot be opened", Kind::kSystem, "not a ZIP archive"},
    {"The ZIP file has no entries", Kind::kFixed, "the ZIP archive has no entries"},
    {"CRC-32 mismatch", Kind::kFixed, "CRC-32 mismatch: the data is damaged"},
    {"Password for password-protected entry is invalid", Kind::kPassword, nullptr},
    {"Invalid password for WinZip AES", Kind::kPassword, nullptr},
    {"AES authentication code mismatch", Kind::kFixed, "wrong password, or damaged data"},
    {"Password too long", Kind::kFixed, "the password is too long"},
    {"Unsupported compression method", Kind::kFixed, "unsupported compression method"},
    {"Strong encryption is not supported", Kind::kFixed, "unsupported kind of encryption"},
    {"kind of encryption is not supported", Kind::kFixed, "unsupported kind of encryption"},
    {"outside the extraction directory", Kind::kFixed,
     "the name leads outside the target folder: not written"},
    {"too large to be decoded in memory", Kind::kFixed, "too large to decode in memory"},
    {"Not enough memory", Kind::kFixed, "out of memory"},
    {"decodes to more bytes", Kind::kFixed, "damaged data"},
    {"decodes to fewer bytes", Kind::kFixed, "damaged data"},
    {"data is larger than the expected size", Kind::kFixed, "damaged data"},
    {"decode error", Kind::kFixed, "damaged data"},
    {"inflateBlock failed", Kind::kFixed, "damaged data"},
    {"data is corrupt", Kind::kFixed, "damaged data"},
    {"data ends before", Kind::kFixed, "damaged data: it is cut short"},
    {"Invalid LZMA properties", Kind::kFixed, "damaged data"},
    {"Invalid PPMd", Kind::kFixed, "damaged data"},
    {"Unsupported PPMd", Kind::kFixed, "unsupported PPMd variant"},
    {"Cannot ensure directory existence", Kind::kSystemAfter, "cannot create its folder"},
    {"Failed to set file attributes", Kind::kSystem, "cannot set its attributes"},
    {"Failed to write", Kind::kSystem, "cannot write the file"},
    {"Not enough bytes remaining", Kind::kFixed, "damaged ZIP archive: an entry is cut short"},
};

// The system's own words for the first failure it reported below `scope`.
std::string systemReason(const LogNode& scope) {
    for (const char* tag : {"osErrorInfo", "WindowsError"}) {
        if (const LogNode* item = scope.findFirst(tag)) {
            std::string text = item->text;
            while (!text.empty() && (text.back() == '.' || text.back() == ' ' ||
                                     text.back() == '\r' || text.back() == '\n'))
                text.pop_back();
            if (!text.empty())
                return text;
        }
    }
    return {};
}

std::string withoutFinalDots(std::string text) {
    while (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

std::string fill(const char* phrase, const std::string& value) {
    std::string text = phrase;
    const size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

} // namespace

Cause causeOf(const LogNode& scope, const CauseFacts& facts) {
    // Errors say why; a note may, when the engine gave up without one.
    std::vector<const LogNode*> errors, messages;
    scope.findAll("error", errors);
    scope.findAll("info", messages);
    messages.insert(messages.begin(), errors.begin(), errors.end());
    for (const LogNode* message : messages) {
        for (const Translation& t : kTranslations) {
            if (message->text.find(t.engineText) == std::string::npos)
                continue;
            switch (t.kind) {
            case Kind::kFixed:
                return {t.phrase, false};
            case Kind::kResource:
                return {fill(t.phrase, facts.resourceName), false};
            case Kind::kPassword:
                return {facts.passwordGiven ? "wrong password"
                                            : "encrypted: give the password with --password",
                        false};
            case Kind::kSystem:
            case Kind::kSystemAfter: {
                const std::string reason = systemReason(scope);
                if (reason.empty())
                    return {t.phrase, false};
                if (t.kind == Kind::kSystemAfter)
                    return {std::string(t.phrase) + ": " + reason, true};
                return {reason, true};
            }
            }
        }
    }
    // Something the table does not know: the engine's own words are better than none.
    for (const LogNode* error : errors) {
        const std::string text = withoutFinalDots(error->text);
        if (!text.empty() && text != "Failed")
            return {text, false};
    }
    const std::string reason = systemReason(scope);
    if (!reason.empty())
        return {reason, true};
    return {"failed", false};
}

} // namespace vxzip

#include "os/Clock.h"
#include "os/FileTime.h"
#include "zip/base/LogBase.h"
#include "zip/base/XString.h"
#include "zip/base/fs/FileSys.h"
#include "zip/base/fs/PathText.h"

#include <cctype>
#include <random>
#include <thread>

namespace vexmar {

namespace FileSys {

namespace {

size_t skipSeparators(const std::string& text, size_t at) {
    while (at < text.size() && text[at] == '\\')
        ++at;
    return at;
}

// The part of a name that can go below a directory: without a long-path
// prefix, a UNC server and share, a drive, or leading separators.
std::string relativePart(std::string name) {
    if (name.rfind("\\\\?\\UNC\\", 0) == 0)
        name = "\\\\" + name.substr(8);
    else if (name.rfind("\\\\?\\", 0) == 0)
        name.erase(0, 4);

    if (name.rfind("\\\\", 0) == 0) {
        const size_t serverEnd = name.find('\\', 2);
        const size_t shareEnd =
            serverEnd == std::string::npos ? serverEnd : name.find('\\', serverEnd + 1);
        if (shareEnd == std::string::npos)
            return std::string();
        return name.substr(skipSeparators(name, shareEnd));
    }
    if (name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':')
        return name.substr(skipSeparators(name, 2));
    return name.substr(skipSeparators(name, 0));
}

char randomNameChar() {
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::minstd_rand generator(
        uint32_t(os::currentFileTime() ^ os::tickCountMs() ^
                 std::hash<std::thread::id>()(std::this_thread::get_id())));
    return kChars[generator() % 36];
}

} // namespace

void joinPath(const XString& directory, const XString& name, XString& path) {
    std::string dir = backslashed(trimmed(directory.getUtf8()));
    const std::string relative = backslashed(name);
    if (dir.empty()) {
        path.setFromUtf8(relative.c_str());
        return;
    }
    if (dir.back() != '\\')
        dir += '\\';
    dir += relativePart(relative);
    path.setFromUtf8(dir.c_str());
}

bool tempFilePath(const XString& base, const XString& directory, XString& path, LogBase* log) {
    std::string name = base.isEmpty() ? std::string("x") : std::string(base.getUtf8());
    if (name.find('.') == std::string::npos)
        name += ".tmp";
    const size_t dot = name.rfind('.');
    const std::string stem = name.substr(0, dot);
    const std::string extension = name.substr(dot);

    // An empty directory means the current one.
    std::string dir = directory.getUtf8();
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\')
        dir += '\\';

    constexpr int kMaxCandidates = 201;
    for (int i = 0; i < kMaxCandidates; ++i) {
        std::string candidate = dir + stem + '_';
        for (int k = 0; k < 4; ++k)
            candidate += randomNameChar();
        candidate += extension;
        path.setFromUtf8(candidate.c_str());
        if (!fileExists(path, nullptr))
            return true;
    }
    if (log)
        log->logError("Failed to find an unused temporary file name.");
    path.clear();
    return false;
}

} // namespace FileSys

} // namespace vexmar

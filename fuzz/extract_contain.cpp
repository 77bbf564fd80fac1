// Extracts generated archives into a fresh folder inside a sandbox, with links planted in the
// folder that point out of it, and stops the run when anything outside the folder changed.
// Entry names are put together from the pieces that have let archives escape before: "..",
// ".\r.", separators of both kinds, drives, UNC and long-path prefixes, device names, colons,
// control characters, trailing dots and spaces, very long names, and the sandbox's own path.
#include "tests/support/ZipBuilder.h"
#include "zip/facade/VxZipW.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vexmar;

namespace fs = std::filesystem;

namespace {

template <typename T> const T& pick(FuzzedDataProvider& in, const std::vector<T>& list) {
    return list[in.ConsumeIntegralInRange<size_t>(0, list.size() - 1)];
}

fs::path sandbox;  // everything the run may see; its state is compared after each input
fs::path parent;   // the target's parent, inside the sandbox
fs::path target;   // the fresh folder each input is extracted into
fs::path outside;  // where the planted links point

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// What is below `root` (links not followed), except inside the target.
std::map<std::string, std::string> snapshot() {
    std::map<std::string, std::string> state;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(sandbox, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (error)
            break;
        const fs::path& p = it->path();
        if (p == target) {
            it.disable_recursion_pending();
            continue;
        }
        const fs::file_status status = fs::symlink_status(p);
        std::string what;
        if (fs::is_symlink(status))
            what = "link " + fs::read_symlink(p).string();
        else if (fs::is_directory(status))
            what = "dir";
        else
            what = "file " + contents(p);
        what += " " + std::to_string(int(status.permissions()));
        state[p.string()] = what;
    }
    return state;
}

std::map<std::string, std::string> before;

void plantLinks() {
    fs::create_directories(target / "sub");
    fs::create_directory_symlink("../../outside", target / "link");
    fs::create_symlink("../../outside/victim.txt", target / "file.txt");
    fs::create_directory_symlink(outside, target / "abs");
    fs::create_symlink("../../outside/new.txt", target / "dangling");
    fs::create_directory_symlink("../../../outside", target / "sub" / "up");
}

const std::vector<std::string>& pieces() {
    static const std::vector<std::string> list = [] {
        std::vector<std::string> p = {
            "..", ".", ".\r.", ".\n.", "/", "\\", "//", "\\\\", "C:", "c:\\", "Z:/", "a:b", ":",
            "\\\\server\\share\\", "//srv/sh/", "\\\\?\\", "\\\\?\\C:\\", "\\\\?\\UNC\\srv\\sh\\",
            "\\\\.\\", "CON", "nul", "NUL.txt", "com1", "LPT9 ", "conin$", "CONOUT$.", "aux..",
            std::string("\0", 1), "\x01", "\x1F", "\t", " ", "...", ". .", ".. ", "x.", "y ",
            "link", "file.txt", "dangling", "abs", "sub", "up", "Thumbs.db", "victim.txt",
            "outside", "new.txt", std::string(300, 'L'), "\xC3\xA9", "*", "?", "|", "\"", "<>",
            outside.string(), outside.string() + "/", fs::path(outside).parent_path().string(),
        };
        return p;
    }();
    return list;
}

std::string entryName(FuzzedDataProvider& in) {
    std::string name;
    const int count = in.ConsumeIntegralInRange(1, 7);
    for (int i = 0; i < count; ++i) {
        if (in.ConsumeBool())
            name += pick(in, pieces());
        else
            name += in.ConsumeRandomLengthString(12);
        if (in.ConsumeBool())
            name += in.ConsumeBool() ? "/" : "\\";
    }
    return name.substr(0, 0xFFFF);
}

std::vector<testzip::Entry> entries(FuzzedDataProvider& in) {
    std::vector<testzip::Entry> list;
    const int count = in.ConsumeIntegralInRange(1, 8);
    for (int i = 0; i < count && in.remaining_bytes() > 0; ++i) {
        testzip::Entry e;
        e.name = entryName(in);
        if (in.ConsumeBool())
            e.name += "/";
        e.data = in.ConsumeRandomLengthString(16);
        e.externalAttributes = in.ConsumeIntegralInRange<uint32_t>(0, 0x3F);
        if (in.ConsumeBool())
            e.versionMadeBy = 0x031E;
        if (in.ConsumeBool())
            e.flags = 0x0800;
        list.push_back(std::move(e));
    }
    return list;
}

// The target as the user may spell it; the current directory is its parent.
std::string targetSpelling(FuzzedDataProvider& in) {
    static const std::vector<std::string> spellings = {
        target.string(), "out", "./out", "out/", "x/../out", "out/.", "./out/sub/..",
    };
    return pick(in, spellings);
}

void fail(const char* what, const std::string& path) {
    std::fprintf(stderr, "extract_contain: %s: %s\n", what, path.c_str());
    std::abort();
}

void checkNothingOutsideChanged() {
    const std::map<std::string, std::string> after = snapshot();
    for (const auto& [path, state] : after) {
        const auto was = before.find(path);
        if (was == before.end())
            fail("appeared outside the target", path);
        if (was->second != state)
            fail("changed outside the target", path);
    }
    for (const auto& [path, state] : before)
        if (!after.count(path))
            fail("vanished outside the target", path);
}

void removeSandbox() {
    std::error_code error;
    fs::permissions(sandbox, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(sandbox, error);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    sandbox = fs::temp_directory_path() / ("pellquin-extract-contain-" + std::to_string(getpid()));
    fs::remove_all(sandbox);
    // Deep enough that a few ".." from the target still land inside the sandbox.
    parent = sandbox / "a" / "b" / "c" / "d" / "t";
    target = parent / "out";
    outside = sandbox / "a" / "b" / "c" / "d" / "outside";
    fs::create_directories(parent);
    fs::create_directories(outside / "dir");
    std::ofstream(outside / "victim.txt") << "precious";
    std::ofstream(outside / "dir" / "kept.txt") << "kept";
    std::atexit(removeSandbox);
    before = snapshot();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::error_code error;
    fs::remove_all(target, error);
    plantLinks();
    const std::string image = testzip::build(entries(in));
    const std::string dir = targetSpelling(in);

    // Relative spellings of the target start from its parent; libFuzzer's own files
    // (corpus, crash reports) stay relative to where it was started.
    const fs::path home = fs::current_path();
    fs::current_path(parent);
    VxZipW zip;
    if (zip.OpenFromMemory(image.data(), static_cast<uint32_t>(image.size())))
        zip.Extract(os::fromUtf8(dir).c_str());
    fs::current_path(home);
    checkNothingOutsideChanged();
    // Read-only folders inside the target must not stop the next input's clean-up.
    for (auto it = fs::recursive_directory_iterator(target, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (error)
            break;
        if (!fs::is_symlink(it->symlink_status()))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
    return 0;
}

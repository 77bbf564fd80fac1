// Extracting test images into a fresh folder, with the events recorded.
#pragma once

#include "tests/support/ZipBuilder.h"
#include "zip/facade/VxProgress.h"
#include "zip/facade/VxZipW.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// Records every notification as one line of text.
class RecordingProgress : public vexmar::VxZipProgressW {
public:
    std::vector<std::string> events;
    int abortAtPercentCall = -1; // answer abort to this percentDone call (0-based)
    int percentCalls = 0;

    void percentDone(int percent, bool* abort) override {
        *abort = percentCalls++ == abortAtPercentCall;
        events.push_back("percentDone " + std::to_string(percent));
    }
    void progressInfo(const os::wchar* name, const os::wchar* value) override {
        events.push_back("progressInfo " + os::toUtf8(name, os::wideLength(name)) + " " +
                         os::toUtf8(value, os::wideLength(value)));
    }
    void toBeUnzipped(const os::wchar* name, int64_t, int64_t size, bool isDirectory,
                      bool* exclude) override {
        *exclude = false;
        events.push_back("toBeUnzipped " + os::toUtf8(name, os::wideLength(name)) + " " +
                         std::to_string(size) + (isDirectory ? " dir" : ""));
    }
    void fileUnzipped(const os::wchar* name, int64_t, int64_t, bool, bool* abort) override {
        *abort = false;
        events.push_back("fileUnzipped " + os::toUtf8(name, os::wideLength(name)));
    }
    void unzipBegin() override { events.push_back("unzipBegin"); }
    void unzipEnd() override { events.push_back("unzipEnd"); }
};

class ExtractTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        base = fs::temp_directory_path() / "pellquin-extract-tests" /
               (std::string(info->test_suite_name()) + "." + info->name());
        fs::remove_all(base);
        fs::create_directories(base);
        out = base / "out";
    }
    void TearDown() override { fs::remove_all(base); }

    bool open(const std::vector<testzip::Entry>& entries) {
        image = testzip::build(entries);
        return zip.OpenFromMemory(image.data(), static_cast<uint32_t>(image.size()));
    }
    bool extract() {
        const std::u8string dir = out.u8string();
        return zip.Extract(os::fromUtf8(reinterpret_cast<const char*>(dir.c_str()), dir.size()).c_str());
    }

    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool logHas(const std::string& text) const {
        return zip.LastErrorXml().find(text) != std::string::npos;
    }

    fs::path base, out;
    std::string image;
    vexmar::VxZipW zip;
};

// A deflate stream of one stored block: valid method-8 data without an encoder.
inline std::string storedDeflate(const std::string& data) {
    const auto n = static_cast<uint16_t>(data.size());
    return std::string("\x01", 1) + testzip::le16(n) + testzip::le16(uint16_t(~n)) + data;
}

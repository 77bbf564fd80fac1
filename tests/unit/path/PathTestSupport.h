// Shared by the path tests: the toolkit's test fixture, the error a call raises
// (taken before it is reported and cleared), and scratch folders named in
// Windows form (under Wine their own names; natively through the drive table, so
// /tmp/x is Z:\tmp\x).
#pragma once

#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "toolkit/diag/ErrorReport.h"
#include "toolkit/path/StrictPath.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace pathtest {

using namespace qktest;

struct Raised {
    int32_t code = 0;
    std::string summary;
    std::string detail;
    std::string debugText;
    std::string log; // the debug log after the report
};

inline std::string Text(const Quillkit::StrictPath& path) {
    return U8(path.GetPath());
}

// The Windows form of a file-system path.
inline std::string WinForm(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::wstring wide = path.wstring();
    return U8(WString(wide.begin(), wide.end()));
#else
    std::string text = "Z:" + path.string();
    for (char& c : text)
        if (c == '/')
            c = '\\';
    return text;
#endif
}

class PathTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        std::random_device random;
        scratch = std::filesystem::temp_directory_path() /
                  ("pellquin-paths-" + std::to_string(random()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(scratch);
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(scratch, std::filesystem::perms::all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(scratch, ignored);
        ToolkitTest::TearDown();
    }

    // The error `body` raises; a failure when it raises nothing.
    template <typename Body> Raised Catch(Body body) {
        Raised raised;
        try {
            body();
            ADD_FAILURE() << "nothing was raised";
        } catch (const Quillkit::MetaOutput::PrivateException&) {
            const Quillkit::ErrorRecord* error = out->GetCurrentError();
            raised.code = error->code;
            raised.summary = U8(error->summary);
            raised.detail = U8(error->detail);
            raised.debugText = U8(error->debugText);
            Quillkit::HandleException(nullptr);
            raised.log = LogText();
        }
        return raised;
    }

    // A scratch path in Windows form: `relative` uses "\".
    std::string Scratch(const std::string& relative = "") {
        std::string base = WinForm(scratch);
        return relative.empty() ? base : base + "\\" + relative;
    }
    std::filesystem::path Native(const std::string& relative) {
        std::string text = relative;
        for (char& c : text)
            if (c == '\\')
                c = '/';
        return scratch / text;
    }
    void WriteFile(const std::string& relative, const std::string& bytes) {
        std::filesystem::create_directories(Native(relative).parent_path());
        std::ofstream(Native(relative), std::ios::binary) << bytes;
    }

    std::filesystem::path scratch;
};

} // namespace pathtest

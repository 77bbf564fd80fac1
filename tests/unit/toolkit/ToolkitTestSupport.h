// Shared by the toolkit's tests: the shared output data put back to a known state,
// with a fresh debug log file handed over as a host would, and readable text.
#pragma once

#include "os/File.h"
#include "toolkit/diag/MetaOutput.h"
#include "toolkit/diag/SharedOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace qktest {

using Quillkit::WChar;
using Quillkit::WString;

inline WString W(const std::string& utf8) {
    return os::fromUtf8(utf8);
}
inline std::string U8(const WString& text) {
    return os::toUtf8(text);
}
inline std::string U8(const WChar* text) {
    return text ? os::toUtf8(text, os::wideLength(text)) : std::string("(null)");
}

// A file for one test, removed afterwards.
inline std::string TempPath(const std::string& leaf) {
    static std::atomic<int> serial{0};
    auto dir = std::filesystem::temp_directory_path() / "quillkit-tests";
    std::filesystem::create_directories(dir);
    return (dir / (leaf + "-" + std::to_string(serial++) + ".log")).string();
}

inline os::FileHandle OpenForWriting(const std::string& path) {
    os::FileOpenRequest request;
    request.access = os::kAccessWrite;
    request.creation = os::FileCreation::CreateAlways;
    request.share = os::kShareRead | os::kShareWrite | os::kShareDelete;
    uint32_t error = 0;
    bool wide = false;
    return os::openFile(path.c_str(), request, error, wide);
}

// A handle on which every write fails.
inline os::FileHandle OpenReadOnly(const std::string& path) {
    std::ofstream(path, std::ios::binary) << "";
    os::FileOpenRequest request;
    request.access = os::kAccessRead;
    request.share = os::kShareRead | os::kShareWrite | os::kShareDelete;
    uint32_t error = 0;
    bool wide = false;
    return os::openFile(path.c_str(), request, error, wide);
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// UTF-16LE bytes as the debug log holds them.
inline std::string Utf16Bytes(const std::string& utf8) {
    std::string bytes;
    for (WChar unit : W(utf8)) {
        bytes += char(uint16_t(unit) & 0xFF);
        bytes += char(uint16_t(unit) >> 8);
    }
    return bytes;
}

// Console text without CRs, which a Windows runtime adds in text mode.
inline std::string WithoutCr(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

inline std::string FromUtf16Bytes(const std::string& bytes) {
    WString text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += WChar(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
    return U8(text);
}

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        out = Quillkit::GetSharedOutputData();
        ASSERT_EQ(out->GetCurrentError()->code, 0) << "an earlier test left an error pending";
        out->SetLoggingMode(Quillkit::kLogDefault);
        out->SetOption1(0);
        out->SetLanguage(9);
        out->SetStampNextLine(false);
        out->SetStampEveryLine(false);
        out->SetLastLineMarked(false);
        out->ClearUserLog();
        out->ClearHistory();
        while (!out->ErrorDetailsEmpty())
            out->PopErrorDetail();
        while (!out->AdditionalDetailsEmpty())
            out->PopAdditionalDetail();
        logPath = TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
        HandOver(OpenForWriting(logPath));
    }

    void TearDown() override {
        ReleaseLog();
        std::error_code ignored;
        std::filesystem::remove(logPath, ignored);
    }

    void HandOver(os::FileHandle handle) {
        ReleaseLog();
        out->SetDebugLogHandle(handle);
        out->SetDebugLogPath(W(logPath).c_str());
    }

    void ReleaseLog() {
        if (out->GetDebugLogHandle() != os::kNoFile)
            os::closeFile(out->GetDebugLogHandle());
        out->SetDebugLogHandle(os::kNoFile);
    }

    std::string LogBytes() { return ReadBytes(logPath); }
    std::string LogText() { return FromUtf16Bytes(LogBytes()); }

    // The debug log split at CR LF, without the final empty piece.
    std::vector<std::string> LogLines() {
        std::vector<std::string> lines;
        std::string text = LogText();
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    // Every unread user message, oldest first.
    std::vector<std::string> UserLog() {
        std::vector<std::string> messages;
        while (const WChar* message = out->GetNextUserLogMessage())
            messages.push_back(U8(message));
        return messages;
    }

    Quillkit::MetaOutput* out = nullptr;
    std::string logPath;
};

} // namespace qktest

// The archive facade's payload operations: embedding a ZIP file into an
// executable, opening it again, and what is refused with the executable untouched.
#include "os/ModuleInfo.h"
#include "tests/support/ZipBuilder.h"
#include "tests/unit/exe/ExeFixture.h"
#include "tests/unit/exe/SyntheticPe.h"
#include "zip/facade/VxZipW.h"

#include <cstdlib>

namespace {

os::wstring w(const std::string& utf8) {
    return os::fromUtf8(utf8);
}

const std::vector<testzip::Entry> kEntries = {
    {.name = "Installer/setup.exe", .data = "MZ setup"},
    {.name = "Installer/orvsuite.xml", .data = "<suiteid packageguid=\"{1}\"/>"},
};

class Embed : public testing::Test {
protected:
    void SetUp() override {
        exe_ = dir_["launcher.exe"];
        zipPath_ = dir_["payload.zip"];
        scratch::writeAll(exe_, synthetic::image(true));
        scratch::writeAll(zipPath_, testzip::build(kEntries));
    }
    bool add(VxZipW& zip, const std::string& name = "IDR_VEXMAR1") {
        return zip.AddEmbedded(w(exe_).c_str(), w(name).c_str(), w(zipPath_).c_str());
    }
    bool logHas(const VxZipW& zip, const std::string& text) const {
        return zip.LastErrorXml().find(text) != std::string::npos;
    }
    // Files in the folder besides the executable and the ZIP (temporary files).
    size_t strayFiles() const {
        size_t n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(scratch::fsPath(dir_.path())))
            n += entry.path().filename() != "launcher.exe" &&
                 entry.path().filename() != "payload.zip";
        return n;
    }

    scratch::Dir dir_;
    std::string exe_, zipPath_;
};

TEST_F(Embed, ThePayloadOpensAndExtractsAsTheZipDid) {
    VxZipW zip;
    ASSERT_TRUE(add(zip)) << zip.LastErrorXml();
    EXPECT_TRUE(logHas(zip, "AddEmbedded"));
    EXPECT_EQ(strayFiles(), 0u);

    VxZipW opened;
    ASSERT_TRUE(opened.OpenEmbedded(w(exe_).c_str(), w("IDR_VEXMAR1").c_str()))
        << opened.LastErrorXml();
    EXPECT_TRUE(logHas(opened, "<OpenFromMemory>")) << opened.LastErrorXml();
    ASSERT_EQ(opened.NumEntries(), 2u);
    ASSERT_TRUE(opened.Extract(w(dir_["out"]).c_str())) << opened.LastErrorXml();
    EXPECT_EQ(scratch::readAll(dir_["out/Installer/setup.exe"]), "MZ setup");
    EXPECT_EQ(scratch::readAll(dir_["out/Installer/orvsuite.xml"]), kEntries[1].data);

    // Names are compared exactly.
    VxZipW lower;
    EXPECT_FALSE(lower.OpenEmbedded(w(exe_).c_str(), w("idr_vexmar1").c_str()));
    EXPECT_TRUE(logHas(lower, "Resource not found within EXE"));
    EXPECT_TRUE(logHas(lower, "idr_vexmar1"));
}

struct Refusal {
    const char* what;
    void (*prepare)(const std::string& exe, const std::string& zip);
    const char* message;
};

const Refusal kRefusals[] = {
    {"a missing ZIP file",
     [](const std::string&, const std::string& zip) {
         std::filesystem::remove(scratch::fsPath(zip));
     },
     "The ZIP file cannot be opened"},
    {"a file that is no ZIP",
     [](const std::string&, const std::string& zip) { scratch::writeAll(zip, "not a zip at all"); },
     "The ZIP file cannot be opened"},
    {"a ZIP without entries",
     [](const std::string&, const std::string& zip) { scratch::writeAll(zip, testzip::build({})); },
     "The ZIP file has no entries"},
    {"an executable that has the payload already",
     [](const std::string& exe, const std::string& zip) {
         VxZipW first;
         ASSERT_TRUE(first.AddEmbedded(w(exe).c_str(), w("IDR_VEXMAR1").c_str(), w(zip).c_str()));
     },
     "The EXE already carries a resource of this name"},
    {"a file that is no executable",
     [](const std::string& exe, const std::string&) { scratch::writeAll(exe, "plain text"); },
     "Failed to find DOS signature"},
};

TEST_F(Embed, RefusesAndLeavesTheExecutableAsItWas) {
    for (const Refusal& refusal : kRefusals) {
        SCOPED_TRACE(refusal.what);
        SetUp();
        refusal.prepare(exe_, zipPath_);
        const std::string before = scratch::readAll(exe_);
        VxZipW zip;
        EXPECT_FALSE(add(zip));
        EXPECT_TRUE(logHas(zip, refusal.message)) << zip.LastErrorXml();
        EXPECT_TRUE(logHas(zip, "Failed."));
        EXPECT_EQ(scratch::readAll(exe_), before);
        EXPECT_EQ(strayFiles(), 0u);
    }
}

// The quick look before embedding finds the directory of archives the engine opens.
TEST_F(Embed, AcceptsZip64AndArchivesWithBytesInFront) {
    const testzip::Options kinds[] = {{.zip64 = true, .saturateEndRecord = true},
                                      {.prefix = std::string(300, 'S')}};
    for (const testzip::Options& options : kinds) {
        SetUp();
        scratch::writeAll(zipPath_, testzip::build(kEntries, options));
        VxZipW zip;
        EXPECT_TRUE(add(zip)) << zip.LastErrorXml();
        VxZipW opened;
        EXPECT_TRUE(opened.OpenEmbedded(w(exe_).c_str(), w("IDR_VEXMAR1").c_str()));
        EXPECT_EQ(opened.NumEntries(), 2u);
    }
}

TEST_F(Embed, AMissingExecutableFails) {
    std::filesystem::remove(scratch::fsPath(exe_));
    VxZipW zip;
    EXPECT_FALSE(add(zip));
    EXPECT_FALSE(std::filesystem::exists(scratch::fsPath(exe_)));
    EXPECT_EQ(strayFiles(), 0u);
}

TEST_F(Embed, AnExecutableWithoutThePayload) {
    VxZipW zip;
    EXPECT_FALSE(zip.OpenEmbedded(w(exe_).c_str(), w("IDR_VEXMAR1").c_str()));
    EXPECT_TRUE(logHas(zip, "Resource not found within EXE"));
    EXPECT_TRUE(logHas(zip, "<resourceName>IDR_VEXMAR1</resourceName>")) << zip.LastErrorXml();
}

// The running program carries no payload (natively it is no PE image at all).
TEST_F(Embed, MyOwnExecutableWithoutThePayload) {
    if (std::getenv("PELLQUIN_EXPECT_PAYLOAD"))
        GTEST_SKIP() << "this copy carries one";
    VxZipW zip;
    EXPECT_FALSE(zip.OpenMyEmbedded(w("IDR_VEXMAR1").c_str()));
#ifdef _WIN32
    EXPECT_TRUE(logHas(zip, "Resource not found within my EXE")) << zip.LastErrorXml();
    EXPECT_TRUE(logHas(zip, "<resourceName>IDR_VEXMAR1</resourceName>"));
#else
    EXPECT_TRUE(logHas(zip, "Failed to open my EXE")) << zip.LastErrorXml();
#endif
}

// A copy of this test program gets the payload and runs this test again, where
// it opens the payload from its own file.
TEST_F(Embed, MyOwnExecutableWithThePayload) {
    if (const char* expected = std::getenv("PELLQUIN_EXPECT_PAYLOAD")) {
        VxZipW zip;
        ASSERT_TRUE(zip.OpenMyEmbedded(w("IDR_VEXMAR1").c_str())) << zip.LastErrorXml();
        EXPECT_EQ(zip.NumEntries(), std::strtoul(expected, nullptr, 10));
        return;
    }
#ifdef _WIN32
    os::wchar self[1024];
    ASSERT_GT(os::moduleFileName(nullptr, self, 1024), 0u);
    const std::string copy = dir_["self.exe"];
    std::filesystem::copy_file(self, scratch::fsPath(copy));
    VxZipW zip;
    ASSERT_TRUE(zip.AddEmbedded(w(copy).c_str(), w("IDR_VEXMAR1").c_str(), w(zipPath_).c_str()))
        << zip.LastErrorXml();
    SetEnvironmentVariableW(L"PELLQUIN_EXPECT_PAYLOAD", L"2");
    const int status =
        exefixture::run({copy, "--gtest_filter=Embed.MyOwnExecutableWithThePayload"});
    SetEnvironmentVariableW(L"PELLQUIN_EXPECT_PAYLOAD", nullptr);
    EXPECT_EQ(status, 0);
#else
    GTEST_SKIP() << "the test program is no PE image here";
#endif
}

} // namespace

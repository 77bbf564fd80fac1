// The archive facade's payload operations: embedding a ZIP file into an
// executable, opening it again, and what is refused with the executable untouched.
#include "os/ModuleInfo.h"
#include "tests/support/ZipBuilder.h"
#include "tests/unit/exe/ExeFixture.h"
#include "tests/unit/exe/SyntheticPe.h"
#include "zip/facade/VxZipW.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

using namespace vexmar;

namespace {

os::wstring w(const std::string& utf8) {
    return os::fromUtf8(utf8);
}

// A Zip64 end record and locator, then the end record that sends a reader to
// them; `front` bytes of filler come first.
std::string zip64Records(uint64_t directorySize, uint64_t directoryOffset, uint64_t recordAt,
                         size_t front) {
    using testzip::le16, testzip::le32, testzip::le64;
    std::string b(front, 'X');
    b += "PK\x06\x06" + le64(44) + le16(45) + le16(45) + le32(0) + le32(0) + le64(1) + le64(1) +
         le64(directorySize) + le64(directoryOffset);
    b += "PK\x06\x07" + le32(0) + le64(recordAt) + le32(1);
    b += "PK\x05\x06" + le16(0xFFFF) + le16(0xFFFF) + le16(0xFFFF) + le16(0xFFFF) +
         le32(0xFFFFFFFF) + le32(0xFFFFFFFF) + le16(0);
    return b;
}

// The synthetic image with its certificate table entry filled in, as a
// signing tool leaves it (the table itself is the overlay).
std::string signedImage() {
    std::string image = synthetic::image(true);
    synthetic::put32(image, synthetic::dataDirectory(true, 4), 0x800);
    synthetic::put32(image, synthetic::dataDirectory(true, 4) + 4, 4);
    return image;
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
    // The directory's 4 bytes at 2^64 - 4: the offset plus 4 wraps to 0.
    {"a Zip64 directory offset that wraps",
     [](const std::string&, const std::string& zip) {
         scratch::writeAll(zip, zip64Records(4, ~uint64_t(0) - 3, 8, 8));
     },
     "The ZIP file cannot be opened"},
    {"a Zip64 directory larger than the file",
     [](const std::string&, const std::string& zip) {
         scratch::writeAll(zip, zip64Records(~uint64_t(0), 0, 8, 8));
     },
     "The ZIP file cannot be opened"},
    {"a Zip64 record past the locator",
     [](const std::string&, const std::string& zip) {
         scratch::writeAll(zip, zip64Records(4, 0, ~uint64_t(0) - 10, 8));
     },
     "The ZIP file cannot be opened"},
    {"a signed executable",
     [](const std::string& exe, const std::string&) { scratch::writeAll(exe, signedImage()); },
     "The executable is signed; embed the payload before signing it."},
    {"a section after .rsrc that is neither relocations nor debug data",
     [](const std::string& exe, const std::string&) {
         std::string image = synthetic::image(true);
         std::memcpy(&image[synthetic::sectionHeader(true, 2)], ".data\0", 6);
         scratch::writeAll(exe, image);
     },
     "A section after .rsrc holds code or data that cannot be moved"},
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

// Sections after .rsrc move when it grows. Only those nothing refers to by
// address may move: relocations (their directory is updated) and debug data.
TEST_F(Embed, OnlyRelocationsAndDebugDataFollowTheResourceSection) {
    constexpr uint32_t kDiscardableData = 0x42000040;
    constexpr uint32_t kCode = 0x60000020;
    const struct {
        const char* name;
        uint32_t characteristics;
        bool namedByDirectory; // the base-relocation directory points into it
        bool accepted;
    } cases[] = {
        {".reloc", kDiscardableData, true, true},
        {".debug_info", 0x40000040, false, true},
        {"/4", kDiscardableData, false, true}, // a long debug name from the string table
        {"/4", kDiscardableData, true, false},
        {".text2", kCode, false, false},
        {".bss", 0xC0000080, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.namedByDirectory ? " named" : ""));
        SetUp();
        std::string image = synthetic::image(true);
        const uint32_t header = synthetic::sectionHeader(true, 2);
        std::memset(&image[header], 0, 8);
        std::memcpy(&image[header], c.name, std::strlen(c.name));
        synthetic::put32(image, header + 36, c.characteristics);
        if (!c.namedByDirectory)
            synthetic::put32(image, synthetic::dataDirectory(true, 5), 0);
        scratch::writeAll(exe_, image);
        VxZipW zip;
        EXPECT_EQ(add(zip), c.accepted) << zip.LastErrorXml();
        if (!c.accepted) {
            EXPECT_TRUE(logHas(zip, "A section after .rsrc holds code or data that cannot be moved"));
            EXPECT_TRUE(logHas(zip, c.name));
            EXPECT_EQ(scratch::readAll(exe_), image);
        }
        EXPECT_EQ(strayFiles(), 0u);
    }
}

// Larger than the copy buffer and no multiple of it: every byte arrives.
TEST_F(Embed, APayloadLargerThanTheCopyBufferArrivesWhole) {
    std::string big(700 * 1024 + 13, '\0');
    uint32_t x = 12345;
    for (char& c : big)
        c = char((x = x * 1103515245 + 12345) >> 16);
    scratch::writeAll(zipPath_, testzip::build({{.name = "Installer/big.bin", .data = big}}));
    VxZipW zip;
    ASSERT_TRUE(add(zip)) << zip.LastErrorXml();
    VxZipW opened;
    ASSERT_TRUE(opened.OpenEmbedded(w(exe_).c_str(), w("IDR_VEXMAR1").c_str()));
    ASSERT_TRUE(opened.Extract(w(dir_["out"]).c_str())) << opened.LastErrorXml();
    EXPECT_TRUE(scratch::readAll(dir_["out/Installer/big.bin"]) == big);
}

#ifndef _WIN32
// The new file takes the old one's permission bits, not the defaults of a new file.
TEST_F(Embed, KeepsThePermissionBits) {
    namespace fs = std::filesystem;
    for (const fs::perms mode : {fs::perms(0751), fs::perms(0700), fs::perms(0664)}) {
        SCOPED_TRACE(int(mode));
        SetUp();
        fs::permissions(scratch::fsPath(exe_), mode);
        VxZipW zip;
        ASSERT_TRUE(add(zip)) << zip.LastErrorXml();
        EXPECT_EQ(fs::status(scratch::fsPath(exe_)).permissions() & fs::perms::mask, mode);
        EXPECT_EQ(strayFiles(), 0u);
    }
}

// Through a link (here a relative link to a link), the file it names gets the
// payload and the links stay links.
TEST_F(Embed, WritesThroughSymbolicLinks) {
    namespace fs = std::filesystem;
    const fs::path real = scratch::fsPath(dir_["real"]);
    fs::create_directory(real);
    fs::rename(scratch::fsPath(exe_), real / "target.exe");
    fs::create_symlink("real/target.exe", scratch::fsPath(dir_["inner.exe"]));
    fs::create_symlink("inner.exe", scratch::fsPath(exe_));
    VxZipW zip;
    ASSERT_TRUE(add(zip)) << zip.LastErrorXml();
    EXPECT_TRUE(fs::is_symlink(scratch::fsPath(exe_)));
    EXPECT_EQ(fs::read_symlink(scratch::fsPath(exe_)), "inner.exe");
    EXPECT_TRUE(fs::is_symlink(scratch::fsPath(dir_["inner.exe"])));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(real / "target.exe")));
    VxZipW opened;
    ASSERT_TRUE(opened.OpenEmbedded(w(scratch::utf8(real / "target.exe")).c_str(),
                                    w("IDR_VEXMAR1").c_str()));
    EXPECT_EQ(opened.NumEntries(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(real), fs::directory_iterator()), 1);
}

// A program signed the way a release is signed, with a certificate made here.
TEST_F(Embed, RefusesAProgramSignedWithOsslsigncode) {
    const std::string program = exefixture::path("probe-plain.exe", "pe32");
    if (!exefixture::exists(program) ||
        std::system("command -v osslsigncode >/dev/null && command -v openssl >/dev/null") != 0)
        GTEST_SKIP() << "needs the MinGW-built program, osslsigncode and openssl";
    scratch::Dir keys;
    const std::string key = keys["key.pem"];
    const std::string cert = keys["cert.pem"];
    const std::string makeCert = "openssl req -x509 -newkey rsa:2048 -nodes -batch -days 2 "
                                 "-subj /CN=Pellquin-test -keyout '" + key + "' -out '" + cert +
                                 "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(makeCert.c_str()), 0);
    std::filesystem::remove(scratch::fsPath(exe_));
    const std::string sign = "osslsigncode sign -certs '" + cert + "' -key '" + key + "' -in '" +
                             program + "' -out '" + exe_ + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(sign.c_str()), 0);
    const std::string before = scratch::readAll(exe_);
    VxZipW zip;
    EXPECT_FALSE(add(zip));
    EXPECT_TRUE(logHas(zip, "The executable is signed; embed the payload before signing it."))
        << zip.LastErrorXml();
    EXPECT_TRUE(scratch::readAll(exe_) == before);
    EXPECT_EQ(strayFiles(), 0u);
}
#endif

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

// The launcher's download-folder preferences and suite detection, on real files.
#include "tests/unit/path/PathTestSupport.h"

#include "app/preferences/SuitePreferences.h"
#include "resources/StringIds.h"
#include "toolkit/path/DirectoryCreationCalls.h"
#include "toolkit/ui/IniFile.h"
#include "toolkit/ui/LauncherStrings.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace pathtest {
namespace {

using namespace Quillkit;
using namespace Pellquin;

std::string Utf16File(const std::string& text) {
    return "\xFF\xFE" + Utf16Bytes(text);
}

class PreferencesTest : public PathTest {
protected:
    void SetUp() override {
        PathTest::SetUp();
        guid = U8(LoadLauncherString(StringId::kSuiteGuid));
        suiteName = U8(LoadLauncherString(StringId::kSuiteName));
        suiteFolder = U8(LoadLauncherString(StringId::kSuiteFolder));
        iniPath = PreferencesFilePath(StrictPath(W(Scratch("ProgramData")).c_str(), kDirectory));
    }
    void TearDown() override {
        CurrentDirectoryCreationCalls() = SystemDirectoryCreationCalls();
        PathTest::TearDown();
    }

    const std::string iniRelative = "ProgramData\\Orvandis\\Installation Preferences\\Pellrune.ini";
    std::string Proposal(const std::string& initial = "C:\\Orvandis Downloads\\Default\\") {
        StrictPath dir(W(initial).c_str(), kDirectory);
        LoadPreferences(iniPath, dir);
        return Text(dir);
    }
    std::string Value(const char* section, const char* key) {
        IniFile file(iniPath);
        IniSection s(&file, W(section).c_str());
        IniItem item;
        if (!s.HasItem(W(key).c_str(), item))
            return "(missing)";
        WString value;
        item.GetValue(value);
        return U8(value);
    }

    std::string guid, suiteName, suiteFolder;
    StrictPath iniPath;
};

TEST_F(PreferencesTest, ThePreferencesFileLivesBelowTheAppDataFolder) {
    EXPECT_EQ(Text(iniPath), Scratch(iniRelative));
    EXPECT_EQ(iniPath.GetPathAttributes(), 0);
}

TEST_F(PreferencesTest, WhatTheFileProposes) {
    const std::string initial = "C:\\Orvandis Downloads\\Default\\";
    const struct {
        std::string contents; // empty: no file
        std::string proposal;
    } cases[] = {
        {"", initial},
        {"[Default]\r\nLastUsedRootDirectory=E:\\Kits\r\n", "E:\\Kits\\" + suiteFolder + "\\"},
        {"[" + guid +
             "]\r\nFullPath=D:\\Mine\\Suite\\\r\n[Default]\r\nLastUsedRootDirectory=E:\\Kits\r\n",
         "D:\\Mine\\Suite\\"},
        {"[Default]\r\nLastUsedRootDirectory=E:\\Kits\r\n[" + guid + "]\r\nfullpath=D:\\Mine\r\n",
         "D:\\Mine\\"},
        {"[{00000000-0000-0000-0000-000000000000}]\r\nFullPath=D:\\Other\\\r\n", initial},
        {"[" + guid + "]\r\nFullPath=D:\\bad|path\\\r\n", initial},
        {"[" + guid + "]\r\nFullPath=\r\n", initial},
        {"[Default]\r\nLastUsedRootDirectory=\r\n", initial},
        {"[Default]\r\nLastUsedRootDirectory=E:\\" + std::string(240, 'r') + "\r\n", initial},
        {"garbage \x01\x02 without sections", initial},
        // Only absolute paths on a drive letter are proposed; any other remembered
        // value counts as absent.
        {"[" + guid + "]\r\nFullPath=\\\\server\\share\\x\\\r\n", initial},
        {"[" + guid +
             "]\r\nFullPath=\\\\server\\share\\x\\\r\n[Default]\r\n"
             "LastUsedRootDirectory=E:\\Kits\r\n",
         "E:\\Kits\\" + suiteFolder + "\\"},
        {"[" + guid + "]\r\nFullPath=\\\\?\\C:\\Long\\\r\n", initial},
        {"[" + guid + "]\r\nFullPath=\\\\.\\C:\\Device\\\r\n", initial},
        {"[" + guid + "]\r\nFullPath=\\Rooted\\\r\n", initial},
        {"[" + guid + "]\r\nFullPath=Relative\\Folder\r\n", initial},
        {"[" + guid + "]\r\nFullPath=C:Drive\\Relative\r\n", initial},
        {"[Default]\r\nLastUsedRootDirectory=\\\\server\\share\r\n", initial},
        {"[" + guid + "]\r\nFullPath=d:\\Lower\\\r\n", "d:\\Lower\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents);
        std::filesystem::remove_all(Native("ProgramData"));
        if (!c.contents.empty())
            WriteFile(iniRelative, Utf16File(c.contents));
        EXPECT_EQ(Proposal(initial), c.proposal);
        EXPECT_EQ(out->GetCurrentError()->code, 0);
    }
}

TEST_F(PreferencesTest, SavedFolderIsProposedNextTime) {
    const std::string first = Scratch("Downloads\\Suite\\");
    SavePreferences(iniPath, StrictPath(W(first).c_str(), kDirectory));
    const std::string bytes = ReadBytes(Native(iniRelative).string());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(Value(guid.c_str(), "SuiteName"), suiteName);
    EXPECT_EQ(Value(guid.c_str(), "FullPath"), first);
    EXPECT_EQ(Proposal(), first);

    // A second run overwrites both values in place.
    const std::string second = "E:\\Elsewhere\\";
    SavePreferences(iniPath, StrictPath(W(second).c_str(), kDirectory));
    EXPECT_EQ(Proposal(), second);
    const std::string text = FromUtf16Bytes(ReadBytes(Native(iniRelative).string()).substr(2));
    EXPECT_EQ(text, "[" + guid + "]\r\nSuiteName=" + suiteName + "\r\nFullPath=" + second + "\r\n");
}

TEST_F(PreferencesTest, SavingKeepsWhatOthersWrote) {
    WriteFile(iniRelative, Utf16File("[Default]\r\nLastUsedRootDirectory=E:\\Kits\r\n"));
    SavePreferences(iniPath, StrictPath(QK_TEXT("D:\\Suite\\"), kDirectory));
    EXPECT_EQ(Value("Default", "LastUsedRootDirectory"), "E:\\Kits");
    EXPECT_EQ(Value(guid.c_str(), "FullPath"), "D:\\Suite\\");
}

// A file written by hand in 8-bit text: putting the UTF-16 mark over its first
// two bytes would destroy its first section; it is converted instead.
TEST_F(PreferencesTest, An8BitFileIsConvertedNotOverwritten) {
    WriteFile(iniRelative, "[Default]\r\nLastUsedRootDirectory=E:\\Kits\r\n");
    SavePreferences(iniPath, StrictPath(QK_TEXT("D:\\Suite\\"), kDirectory));
    const std::string bytes = ReadBytes(Native(iniRelative).string());
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(Value("Default", "LastUsedRootDirectory"), "E:\\Kits");
    EXPECT_EQ(Value(guid.c_str(), "FullPath"), "D:\\Suite\\");
}

bool folderAppearsFirst(const WChar* path, void* attributes, uint32_t& error) {
    uint32_t ignored = 0;
    SystemDirectoryCreationCalls().create(path, attributes, ignored);
    return SystemDirectoryCreationCalls().create(path, attributes, error);
}
int64_t readings = 0;
int64_t fastClock() {
    return readings++;
}
void noPause(uint32_t) {}

// Another launcher creates the preferences folder between the existence test and
// the creation: the save goes on at once instead of retrying for 30 seconds.
TEST_F(PreferencesTest, AFolderMadeByAnotherLauncherMeanwhileDoesNotHoldTheSave) {
    readings = 0;
    CurrentDirectoryCreationCalls() = {folderAppearsFirst, noPause, fastClock};
    SavePreferences(iniPath, StrictPath(QK_TEXT("D:\\Suite\\"), kDirectory));
    EXPECT_EQ(Value(guid.c_str(), "FullPath"), "D:\\Suite\\");
    EXPECT_EQ(LogText().find("TIMEOUT"), std::string::npos);
    EXPECT_LE(readings, 3); // one start reading per folder created
}

// Without a per-user place, nothing is read or written.
TEST_F(PreferencesTest, NoPlaceMeansNoPreferences) {
    WriteFile(iniRelative, Utf16File("[" + guid + "]\r\nFullPath=D:\\Mine\\\r\n"));
    const StrictPath nowhere(kDirectory);
    StrictPath dir(QK_TEXT("C:\\Default\\"), kDirectory);
    LoadPreferences(nowhere, dir);
    EXPECT_EQ(Text(dir), "C:\\Default\\");
    const std::string before = ReadBytes(Native(iniRelative).string());
    SavePreferences(nowhere, StrictPath(QK_TEXT("E:\\Elsewhere\\"), kDirectory));
    EXPECT_EQ(ReadBytes(Native(iniRelative).string()), before);
    EXPECT_EQ(out->GetCurrentError()->code, 0);
}

// The file and its folder keep what they inherit: saving opens them to nobody.
TEST_F(PreferencesTest, SavingGrantsNoRights) {
#ifdef _WIN32
    GTEST_SKIP() << "the inherited security is checked end to end";
#else
    const std::filesystem::path folder = Native(iniRelative).parent_path();
    std::filesystem::create_directories(folder);
    chmod(folder.c_str(), 0700);
    SavePreferences(iniPath, StrictPath(QK_TEXT("D:\\Suite\\"), kDirectory));
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(stat(Native(iniRelative).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0022, 0u) << "the file is writable by others";
#endif
}

TEST_F(PreferencesTest, FailuresToSaveAreQuiet) {
    readings = 0;
    CurrentDirectoryCreationCalls() = {SystemDirectoryCreationCalls().create, noPause, fastClock};
    WriteFile("ProgramData", "a file where the folder should be");
    SavePreferences(iniPath, StrictPath(QK_TEXT("D:\\Suite\\"), kDirectory));
    EXPECT_EQ(out->GetCurrentError()->code, 0);
    EXPECT_FALSE(std::filesystem::exists(Native(iniRelative)));
}

TEST_F(PreferencesTest, SuiteDetection) {
    std::string upper = guid;
    for (char& c : upper)
        c = char(std::toupper(uint8_t(c)));
    std::string lower = guid;
    for (char& c : lower)
        c = char(std::tolower(uint8_t(c)));
    const struct {
        std::string contents; // empty: no file
        bool same;
    } cases[] = {
        {"<?xml version=\"1.0\"?>\r\n<suite>\r\n  <suiteid name=\"x\" packageguid=\"" + upper +
             "\"/>\r\n</suite>\r\n",
         true},
        {"<SUITEID PACKAGEGUID=\"" + lower + "\">", true},
        {std::string(400, ' ') + "<suiteid a=\"" + std::string(300, 'b') + "\" packageguid=\"" +
             guid + "\" />",
         true},
        {"<suiteid name=\"x\"\r\n    packageguid=\"" + guid + "\"/>\r\n", false},
        {"<suiteid packageguid=\"{00000000-0000-0000-0000-000000000000}\"/>\r\n<suiteid "
         "packageguid=\"" +
             guid + "\"/>",
         false},
        {"<suite packageguid=\"" + guid + "\"/>", false},
        {"packageguid=\"" + guid + "\" <suiteid/>", false},
        {"<suiteid packageguid=\"" + guid.substr(0, 10), false},
        {"<suiteid packageguid='" + guid + "'/>", false},
        {"", false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents.substr(0, 60));
        const std::string name = "suite" + std::to_string(n++) + "\\orvsuite.xml";
        if (!c.contents.empty())
            WriteFile(name, c.contents);
        EXPECT_EQ(SameSuiteInDirectory(StrictPath(W(Scratch(name)).c_str(), 0)), c.same);
    }
}

// A description that exists but cannot be read names a different suite, and
// leaves no error behind.
TEST_F(PreferencesTest, AnUnreadableDescriptionIsADifferentSuite) {
#ifdef _WIN32
    WriteFile("locked\\orvsuite.xml", "<suiteid packageguid=\"" + guid + "\"/>");
    const std::string path = Scratch("locked\\orvsuite.xml");
    HANDLE lock = CreateFileW(reinterpret_cast<const wchar_t*>(W(path).c_str()), GENERIC_READ, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SameSuiteInDirectory(StrictPath(W(path).c_str(), 0)));
    CloseHandle(lock);
    EXPECT_TRUE(SameSuiteInDirectory(StrictPath(W(path).c_str(), 0)));
#else
    // A file that opens but whose every read fails.
    EXPECT_FALSE(SameSuiteInDirectory(StrictPath(QK_TEXT("Z:\\proc\\self\\mem"), 0)));
    // It was opened and read: the read error was reported, not left pending.
    EXPECT_NE(LogText().find("fgets"), std::string::npos);
#endif
    EXPECT_EQ(out->GetCurrentError()->code, 0);
}

} // namespace
} // namespace pathtest

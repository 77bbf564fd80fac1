// IniFile over the system's profile functions (natively, the stand-in): key
// presence by enumeration, values of any length, the errors of GetItem; and the
// profile writer's file format.
#include "tests/unit/path/PathTestSupport.h"

#include "os/Profile.h"
#include "toolkit/ui/IniFile.h"

namespace pathtest {
namespace {

using namespace Quillkit;

// UTF-16LE with the mark, as the launcher keeps its preferences.
std::string Utf16File(const std::string& text) {
    return "\xFF\xFE" + Utf16Bytes(text);
}

class IniFileTest : public PathTest {
protected:
    IniFile Open(const std::string& name) {
        return IniFile(StrictPath(W(Scratch(name)).c_str(), 0));
    }
};

TEST_F(IniFileTest, PresenceIgnoresCaseAndValuesAreTrimmed) {
    WriteFile("prefs.ini", Utf16File("[{GUID-1}]\r\nfullpath = D:\\Kits\\Suite\\ \r\n"
                                     "Empty=\r\n; comment=1\r\n\r\n[Default]\r\n"
                                     "LastUsedRootDirectory=E:\\Kits\r\n"));
    IniFile file = Open("prefs.ini");
    EXPECT_TRUE(file.Exists());
    const struct {
        const char* section;
        const char* key;
        bool present;
        const char* value;
    } cases[] = {
        {"{GUID-1}", "FullPath", true, "D:\\Kits\\Suite\\"},
        {"{guid-1}", "FULLPATH", true, "D:\\Kits\\Suite\\"},
        {"{GUID-1}", "Empty", true, ""},
        {"{GUID-1}", "; comment", false, ""},
        {"{GUID-1}", "LastUsedRootDirectory", false, ""},
        {"default", "lastusedrootdirectory", true, "E:\\Kits"},
        {"Other", "FullPath", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " " + c.key);
        IniSection section(&file, W(c.section).c_str());
        IniItem item;
        EXPECT_EQ(section.HasItem(W(c.key).c_str(), item), c.present);
        if (c.present) {
            EXPECT_EQ(U8(item.GetKey()), c.key);
            WString value = QK_TEXT("stale");
            item.GetValue(value);
            EXPECT_EQ(U8(value), c.value);
        }
    }
}

TEST_F(IniFileTest, AllKeyNamesOfALongSectionAreSeen) {
    std::string text = "[Big]\r\n";
    std::vector<std::string> names;
    for (int i = 0; i < 400; ++i) {
        names.push_back("Key_" + std::to_string(i) + std::string(20, 'k'));
        text += names.back() + "=" + std::to_string(i) + "\r\n";
    }
    WriteFile("big.ini", Utf16File(text));
    IniFile file = Open("big.ini");

    struct Collect : IniFile::ForEach_Functor {
        std::vector<std::string> seen;
        bool operator()(const WChar* name) override {
            seen.push_back(U8(name));
            return true;
        }
    } collect;
    file.ForEach(collect, QK_TEXT("Big"));
    EXPECT_EQ(collect.seen, names);

    IniSection section(&file, QK_TEXT("Big"));
    IniItem item;
    EXPECT_TRUE(section.HasItem(W(names.back()).c_str(), item));
    WString value;
    item.GetValue(value);
    EXPECT_EQ(U8(value), "399");
}

TEST_F(IniFileTest, ForEachStopsWhenTheFunctorSaysSo) {
    WriteFile("few.ini", Utf16File("[S]\r\na=1\r\nb=2\r\nc=3\r\n"));
    IniFile file = Open("few.ini");
    struct StopAtB : IniFile::ForEach_Functor {
        std::vector<std::string> seen;
        bool operator()(const WChar* name) override {
            seen.push_back(U8(name));
            return seen.back() != "b";
        }
    } stop;
    file.ForEach(stop, QK_TEXT("S"));
    EXPECT_EQ(stop.seen, (std::vector<std::string>{"a", "b"}));
}

TEST_F(IniFileTest, LongValuesAreReadWhole) {
    const std::string v255(255, 'v');
    const std::string v300 = "C:\\" + std::string(297, 'p');
    const std::string v2000(2000, 'w');
    WriteFile("long.ini", Utf16File("[S]\r\nv255=" + v255 + "\r\nv300=" + v300 +
                                    "\r\nv2000=" + v2000 + "\r\n"));
    IniFile file = Open("long.ini");
    IniSection section(&file, QK_TEXT("S"));
    for (const std::string& expected : {v255, v300, v2000}) {
        IniItem item;
        const std::string key = "v" + std::to_string(expected.size());
        ASSERT_TRUE(section.HasItem(W(key).c_str(), item));
        WString value;
        item.GetValue(value);
        EXPECT_EQ(U8(value), expected);
    }
}

TEST_F(IniFileTest, MissingFileAndMissingKey) {
    IniFile missing = Open("missing.ini");
    EXPECT_FALSE(missing.Exists());
    IniSection section(&missing, QK_TEXT("S"));
    IniItem item;
    EXPECT_FALSE(section.HasItem(QK_TEXT("Key"), item));
    Raised raised = Catch([&] { section.GetItem(QK_TEXT("Key"), item); });
    EXPECT_EQ(raised.code, -33);
    EXPECT_EQ(raised.summary, "File not found.");
    EXPECT_EQ(raised.detail, "The ini file " + Scratch("missing.ini") + " does not exist.");
    EXPECT_EQ(raised.debugText, "The ini file does not exist.");

    WriteFile("some.ini", Utf16File("[S]\r\nOther=1\r\n"));
    IniFile some = Open("some.ini");
    IniSection s(&some, QK_TEXT("S"));
    EXPECT_TRUE(s.GetItem(QK_TEXT("other"), item));
    raised = Catch([&] { s.GetItem(QK_TEXT("Key"), item); });
    EXPECT_EQ(raised.code, -33);
    EXPECT_NE(raised.log.find("Ini item not defined: [S] Key"), std::string::npos);
}

TEST_F(IniFileTest, ExistenceIsCachedUntilTheNextPath) {
    IniFile file = Open("late.ini");
    EXPECT_FALSE(file.Exists());
    WriteFile("late.ini", Utf16File("[S]\r\n"));
    EXPECT_TRUE(file.Exists());
    std::filesystem::remove(Native("late.ini"));
    EXPECT_TRUE(file.Exists());
    file = StrictPath(W(Scratch("late.ini")).c_str(), 0);
    EXPECT_FALSE(file.Exists());
    std::filesystem::create_directories(Native("dir.ini"));
    file = StrictPath(W(Scratch("dir.ini")).c_str(), 0);
    EXPECT_FALSE(file.Exists());
}

// What the profile writer leaves in a file: UTF-16 kept, values replaced in
// place, new keys at the end of their section, new sections at the end.
TEST_F(IniFileTest, ProfileWriterKeepsTheFileInUtf16AndOverwritesInPlace) {
    WriteFile("w.ini", Utf16File("; kept\r\n[A]\r\nKey=old\r\nOther=1\r\n[B]\r\nx=1\r\n"));
    const WString file = W(Scratch("w.ini"));
    EXPECT_TRUE(os::writeProfileString(QK_TEXT("a"), QK_TEXT("KEY"), QK_TEXT("new"), file.c_str()));
    EXPECT_TRUE(os::writeProfileString(QK_TEXT("A"), QK_TEXT("Third"), QK_TEXT("3"), file.c_str()));
    EXPECT_TRUE(os::writeProfileString(QK_TEXT("C"), QK_TEXT("k"), QK_TEXT("ü"), file.c_str()));
    EXPECT_EQ(ReadBytes(Native("w.ini").string()),
              Utf16File("; kept\r\n[A]\r\nKey=new\r\nOther=1\r\nThird=3\r\n[B]\r\nx=1\r\n"
                        "[C]\r\nk=ü\r\n"));
}

TEST_F(IniFileTest, ProfileReaderCutsLikeWindows) {
    WriteFile("cut.ini", Utf16File("[S]\r\nlong=abcdef\r\nk1=1\r\nk2=2\r\n"));
    const WString file = W(Scratch("cut.ini"));
    WChar buffer[16] = {};
    EXPECT_EQ(
        os::getProfileString(QK_TEXT("S"), QK_TEXT("long"), QK_TEXT(""), buffer, 4, file.c_str()),
        3u);
    EXPECT_EQ(U8(buffer), "abc");
    EXPECT_EQ(os::getProfileString(QK_TEXT("S"), QK_TEXT("none"), QK_TEXT("dflt  "), buffer, 16,
                                   file.c_str()),
              4u);
    EXPECT_EQ(U8(buffer), "dflt");
    // "long\0k1\0k2\0\0" needs 12 units; in 8 it is cut and ends with two NULs.
    EXPECT_EQ(os::getProfileString(QK_TEXT("S"), nullptr, QK_TEXT(""), buffer, 8, file.c_str()),
              6u);
    EXPECT_EQ(buffer[6], 0);
    EXPECT_EQ(buffer[7], 0);
    EXPECT_EQ(os::getProfileString(QK_TEXT("S"), nullptr, QK_TEXT(""), buffer, 16, file.c_str()),
              11u);
    EXPECT_EQ(os::getProfileString(QK_TEXT("T"), nullptr, QK_TEXT(""), buffer, 16, file.c_str()),
              0u);
}

} // namespace
} // namespace pathtest

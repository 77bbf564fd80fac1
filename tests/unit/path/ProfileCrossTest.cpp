// The portable profile reader and writer held against Windows' own profile
// functions on the same files: each reads what the other writes.
#include "tests/unit/path/PathTestSupport.h"

#include "os/Profile.h"
#include "os/ProfileFile.h"
#include "toolkit/ui/IniFile.h"

#ifdef _WIN32

namespace pathtest {
namespace {

using namespace Quillkit;

struct Writer {
    const char* name;
    bool (*write)(const WChar* section, const WChar* key, const WChar* value, const WChar* file);
};
struct Reader {
    const char* name;
    uint32_t (*read)(const WChar* section, const WChar* key, const WChar* defaultValue,
                     WChar* buffer, uint32_t size, const WChar* file);
};

bool standInWrite(const WChar* section, const WChar* key, const WChar* value, const WChar* file) {
    uint32_t error = 0;
    return os::profile::writeString(section, key, value, file, error);
}

const Writer kWriters[] = {{"system", os::writeProfileString}, {"stand-in", standInWrite}};
const Reader kReaders[] = {{"system", os::getProfileString}, {"stand-in", os::profile::getString}};

std::string Read(const Reader& reader, const std::string& file, const char* section,
                 const char* key) {
    std::vector<WChar> buffer(4096);
    reader.read(W(section).c_str(), key ? W(key).c_str() : nullptr, QK_TEXT("(none)"),
                buffer.data(), uint32_t(buffer.size()), W(file).c_str());
    return U8(buffer.data());
}

std::vector<std::string> Keys(const Reader& reader, const std::string& file, const char* section) {
    std::vector<WChar> buffer(1 << 16);
    const uint32_t n = reader.read(W(section).c_str(), nullptr, QK_TEXT(""), buffer.data(),
                                   uint32_t(buffer.size()), W(file).c_str());
    std::vector<std::string> keys;
    for (uint32_t at = 0; at < n && buffer[at]; at += uint32_t(os::wideLength(&buffer[at])) + 1)
        keys.push_back(U8(&buffer[at]));
    return keys;
}

using ProfileCrossTest = PathTest;

TEST_F(ProfileCrossTest, EachReadsWhatTheOtherWrites) {
    const std::string value300 = "D:\\" + std::string(297, 'v');
    for (const Writer& writer : kWriters) {
        for (const Reader& reader : kReaders) {
            SCOPED_TRACE(std::string(writer.name) + " writes, " + reader.name + " reads");
            const std::string file = Scratch(std::string(writer.name) + "-" + reader.name + ".ini");
            // The launcher's files begin with the UTF-16 mark before the first write.
            WriteFile(std::string(writer.name) + "-" + reader.name + ".ini", "\xFF\xFE");
            const WString path = W(file);
            ASSERT_TRUE(writer.write(QK_TEXT("{GUID}"), QK_TEXT("SuiteName"), W("Süite 中").c_str(),
                                     path.c_str()));
            ASSERT_TRUE(writer.write(QK_TEXT("{GUID}"), QK_TEXT("FullPath"), QK_TEXT("C:\\Old\\"),
                                     path.c_str()));
            ASSERT_TRUE(writer.write(QK_TEXT("Default"), QK_TEXT("LastUsedRootDirectory"),
                                     W(value300).c_str(), path.c_str()));
            ASSERT_TRUE(writer.write(QK_TEXT("{guid}"), QK_TEXT("FULLPATH"), QK_TEXT("E:\\New\\"),
                                     path.c_str()));
            std::vector<std::string> many;
            for (int i = 0; i < 120; ++i) {
                many.push_back("Name" + std::to_string(i) + "_" + std::string(20, 'n'));
                ASSERT_TRUE(writer.write(QK_TEXT("Many"), W(many.back()).c_str(),
                                         W(std::to_string(i)).c_str(), path.c_str()));
            }

            const std::string bytes =
                ReadBytes(Native(std::string(writer.name) + "-" + reader.name + ".ini").string());
            EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
            EXPECT_EQ(Read(reader, file, "{GUID}", "SuiteName"), "Süite 中");
            EXPECT_EQ(Read(reader, file, "{Guid}", "fullpath"), "E:\\New\\");
            EXPECT_EQ(Read(reader, file, "DEFAULT", "LastUsedRootDirectory"), value300);
            EXPECT_EQ(Read(reader, file, "{GUID}", "Missing"), "(none)");
            EXPECT_EQ(Keys(reader, file, "{GUID}"),
                      (std::vector<std::string>{"SuiteName", "FullPath"}));
            EXPECT_EQ(Keys(reader, file, "Many"), many);
        }
    }
}

// Both leave the same file behind for the same writes.
TEST_F(ProfileCrossTest, BothWriteTheSameFile) {
    for (const Writer& writer : kWriters) {
        const std::string name = std::string(writer.name) + ".ini";
        WriteFile(name, "\xFF\xFE");
        const WString path = W(Scratch(name));
        writer.write(QK_TEXT("A"), QK_TEXT("k1"), QK_TEXT("1"), path.c_str());
        writer.write(QK_TEXT("B"), QK_TEXT("k2"), QK_TEXT("2"), path.c_str());
        writer.write(QK_TEXT("a"), QK_TEXT("K1"), QK_TEXT("one"), path.c_str());
        writer.write(QK_TEXT("a"), QK_TEXT("k3"), QK_TEXT("3"), path.c_str());
    }
    EXPECT_EQ(FromUtf16Bytes(ReadBytes(Native("stand-in.ini").string()).substr(2)),
              FromUtf16Bytes(ReadBytes(Native("system.ini").string()).substr(2)));
}

// The toolkit's INI reading gives the same answers through either.
TEST_F(ProfileCrossTest, IniFileReadsAFileTheSystemWrote) {
    WriteFile("sys.ini", "\xFF\xFE");
    const WString path = W(Scratch("sys.ini"));
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(os::writeProfileString(
            QK_TEXT("S"), W("Key" + std::to_string(i) + std::string(15, 'x')).c_str(), QK_TEXT(""),
            path.c_str()));
    IniFile file(StrictPath(path.c_str(), 0));
    IniSection section(&file, QK_TEXT("s"));
    IniItem item;
    EXPECT_TRUE(section.HasItem(W("KEY199" + std::string(15, 'X')).c_str(), item));
    WString value = QK_TEXT("stale");
    item.GetValue(value);
    EXPECT_EQ(U8(value), "");
}

} // namespace
} // namespace pathtest

#endif

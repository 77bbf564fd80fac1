// StrictPath: construction with its checks and repairs, append, parent,
// normal form, comparison, relative paths and volumes.
#include "tests/unit/path/PathTestSupport.h"

#include "toolkit/path/CheckPath.h"

namespace pathtest {
namespace {

using namespace Quillkit;

using StrictPathTest = PathTest;

const std::string kLong300(300, 'a');

struct Construction {
    Construction(const char* input, int attributes, const char* expected, int32_t code = 0,
                 const char* debugText = nullptr)
        : input(input), attributes(attributes), expected(expected), code(code),
          debugText(debugText) {}
    const char* input;
    int attributes;
    const char* expected;  // the text held, or null when it raises
    int32_t code;          // the code raised
    const char* debugText; // the raise's debug text (or its logged message)
};

TEST_F(StrictPathTest, ConstructionChecksRepairsAndNormalises) {
    const std::string longMessage = "Input path strPath is longer than MAX_PATH: " + kLong300;
    const Construction cases[] = {
        {"C:\\Temp", kDirectory, "C:\\Temp\\"},
        {"C:\\Temp\\", 0, nullptr, -41,
         "Path has a trailing backslash but is not a directory: C:\\Temp\\"},
        {"C:\\dir\\", kDirectory, "C:\\dir\\"},
        {"C:", 0, nullptr, -41, "Path has a trailing backslash but is not a directory: C:"},
        {"C:", kDirectory, "C:\\"},
        {"\\\\server\\share\\dir", kDirectory, "\\\\server\\share\\dir\\"},
        {"C:\\a\\\\b\\.\\c\\..\\d", kDirectory, "C:\\a\\b\\d\\"},
        {"..\\..\\x", 0, "..\\..\\x"},
        {"\\\\srv\\share\\..\\x", 0, "\\\\srv\\x"},
        {"a\\b", 0, "a\\b"},
        {"C:\\a:b", 0, nullptr, -41, "Path has invalid character at index 4: C:\\a:b"},
        {"1:\\x", 0, nullptr, -41, "Path has an invalid drive letter: 1:\\x"},
        {"C:x", 0, nullptr, -41, "Path is missing a backslash after the drive letter: C:x"},
        {"C:\\a*.txt", 0, nullptr, -41,
         "Invalid path - wild character at index 4 not allowed: C:\\a*.txt"},
        {"C:\\a*.txt", kAllowWildcards, "C:\\a*.txt"},
        {"C:\\a*.txt", kFixInvalid, "C:\\a_.txt"},
        {"C:\\a<b|c", 0, nullptr, -41, "Path has invalid character at index 4: C:\\a<b|c"},
        {"C:\\a<b|c", kFixInvalid, "C:\\a_b_c"},
        {"a\\b", kName, nullptr, -41, "Path has invalid character at index 1: a\\b"},
        {"a\\b", kName | kFixInvalid, "a-b"},
        {"C:\\dir\\", kFixInvalid, "C:\\dir-"},
        {"rel\\x", kMustBeAbsolute, nullptr, -41, "Invalid path - must be absolute: rel\\x"},
        {"C:\\x", kMustBeAbsolute, "C:\\x"},
        {"C:\\x", kMustBeRelative, nullptr, -41, nullptr},
        {"\\x", 0, nullptr, -41,
         "Input path strPath has a leading backslash; leading backslashes are not supported: "
         "\\x"},
        {"//depot/a/...", kP4Path, "//depot/a/..."},
        {"\\depot\\x\\", kP4Path, "\\depot\\x\\"},
        {kLong300.c_str(), 0, nullptr, -41, longMessage.c_str()},
    };
    for (const Construction& c : cases) {
        SCOPED_TRACE(std::string(c.input).substr(0, 40) + " / " + std::to_string(c.attributes));
        const WString input = W(c.input);
        if (c.expected) {
            StrictPath path(input.c_str(), c.attributes);
            EXPECT_EQ(Text(path), c.expected);
            EXPECT_EQ(path.GetPathAttributes(), c.attributes);
            continue;
        }
        Raised raised = Catch([&] { StrictPath path(input.c_str(), c.attributes); });
        EXPECT_EQ(raised.code, c.code);
        EXPECT_EQ(raised.summary, "Invalid path.");
        if (c.debugText) {
            EXPECT_EQ(raised.debugText, c.debugText);
        }
        EXPECT_NE(raised.log.find("Quillkit: Error in Quillkit::StrictPath::StrictPath function"),
                  std::string::npos);
    }
}

TEST_F(StrictPathTest, RaisesCarryTheirLocalisedDetail) {
    const struct {
        const char* input;
        int attributes;
        const char* detail;
    } cases[] = {
        {"C:\\Temp\\", 0, "The path C:\\Temp\\ has a trailing backslash."},
        {"C:\\a?", 0, "The path C:\\a? contains invalid characters."},
        {"rel", kMustBeAbsolute, "The path rel must be absolute."},
        {"1:\\x", 0, "1:\\x has an invalid drive letter."},
        {"C:x", 0, "C:x has no backslash after the drive letter."},
        {"\\x", 0, "The path \\x has a leading backslash."},
    };
    for (const auto& c : cases) {
        Raised raised = Catch([&] { StrictPath path(W(c.input).c_str(), c.attributes); });
        EXPECT_EQ(raised.detail, c.detail) << c.input;
    }
    Raised raised = Catch([&] { StrictPath path(W(kLong300).c_str(), 0); });
    EXPECT_EQ(raised.detail, "The path \"" + kLong300 + "\" is longer than the MAX_PATH.");
}

TEST_F(StrictPathTest, NullInputRaisesTheParameterError) {
    Raised raised = Catch([] { StrictPath path(nullptr, 0); });
    EXPECT_EQ(raised.code, -40);
    EXPECT_NE(raised.log.find("             Input path strPath is NULL"), std::string::npos);
    StrictPath target(QK_TEXT("C:\\a\\"), kDirectory);
    raised = Catch([&] { target.Append(nullptr, 0); });
    EXPECT_EQ(raised.code, -40);
    EXPECT_NE(raised.log.find("             Input path pathToAppend is NULL"), std::string::npos);
}

TEST_F(StrictPathTest, OverLongInputIsCutWhenTruncationIsAllowed) {
    StrictPath path(W(kLong300).c_str(), kAllowTruncation);
    EXPECT_EQ(Text(path), kLong300.substr(0, 259));
}

// A directory path that fills the buffer has no room for its backslash.
TEST_F(StrictPathTest, DirectoryOf259CharactersHasNoRoomForItsBackslash) {
    const std::string text = "C:\\" + std::string(256, 'd');
    Raised raised = Catch([&] { StrictPath path(W(text).c_str(), kDirectory); });
    EXPECT_EQ(raised.code, -41);
    StrictPath cut(W(text).c_str(), kDirectory | kAllowTruncation);
    EXPECT_EQ(Text(cut), text.substr(0, 258) + "\\");
    EXPECT_EQ(os::wideLength(cut.GetPath()), 259u);
}

struct AppendCase {
    AppendCase(const char* base, int baseAttributes, const char* append, int appendAttributes,
               const char* expected, int expectedAttributes, int32_t code = 0,
               const char* message = nullptr)
        : base(base), baseAttributes(baseAttributes), append(append),
          appendAttributes(appendAttributes), expected(expected),
          expectedAttributes(expectedAttributes), code(code), message(message) {}
    const char* base;
    int baseAttributes;
    const char* append;
    int appendAttributes;
    const char* expected; // null: raises
    int expectedAttributes;
    int32_t code;
    const char* message; // debug text or logged message of the raise
};

TEST_F(StrictPathTest, AppendDecidesTheKindAndResolvesParents) {
    const std::string dir258 = "C:\\" + std::string(254, 'd') + "\\";
    const std::string dir259 = "C:\\" + std::string(255, 'd') + "\\";
    const std::string dir250 = "C:\\" + std::string(246, 'd') + "\\";
    const std::string fits = dir250 + "12345678";
    const std::string cutFile = dir250 + "123456789";
    const std::string cutDirectory = dir250 + "12345678\\";
    const AppendCase cases[] = {
        {"C:\\Temp\\", kDirectory, "Installer", kDirectory, "C:\\Temp\\Installer\\", kDirectory},
        {"C:\\Temp\\Installer\\", kDirectory, "setup.exe", 0, "C:\\Temp\\Installer\\setup.exe", 0},
        {"C:\\Temp\\Installer\\setup.exe", 0, "x", 0, nullptr, 0, -40,
         "             First path does not have directory attribute"},
        {"C:\\a\\b\\", kDirectory, "..\\x", kDirectory, "C:\\a\\x\\", kDirectory},
        {"C:\\a\\b\\", kDirectory, "..\\..\\y.txt", 0, "C:\\y.txt", 0},
        {"C:\\a\\", kDirectory, "", 0, "C:\\a\\", kDirectory},
        {"C:\\a.txt", 0, "", 0, nullptr, 0, -40,
         "             First path does not have directory attribute"},
        {"C:\\d\\", kDirectory, "n", kName, "C:\\d\\n", 0},
        {"C:\\d\\", kDirectory | kFixInvalid, "a*b", 0, "C:\\d\\a_b", kFixInvalid},
        {"C:\\d\\", kDirectory, "e\\.\\f", kDirectory, "C:\\d\\e\\f\\", kDirectory},
        {dir259.c_str(), kDirectory, "x", 0, nullptr, 0, -41,
         "Path too long: current length is 259; append length is 1; MAX_PATH is 260"},
        {dir258.c_str(), kDirectory, "x", kDirectory, nullptr, 0, -41,
         "Path too long: current length is 258; append length is 1; MAX_PATH is 260"},
        {dir250.c_str(), kDirectory, "123456789", 0, nullptr, 0, -41,
         "Path too long: current length is 250; append length is 9; MAX_PATH is 260"},
        {dir250.c_str(), kDirectory, "12345678", 0, fits.c_str(), 0},
        {dir250.c_str(), kDirectory | kAllowTruncation, "123456789abc", 0, cutFile.c_str(),
         kAllowTruncation},
        {dir250.c_str(), kDirectory | kAllowTruncation, "123456789abc", kDirectory,
         cutDirectory.c_str(), kDirectory | kAllowTruncation},
    };
    for (const AppendCase& c : cases) {
        SCOPED_TRACE(std::string(c.base).substr(0, 20) + " + " + c.append);
        StrictPath path(W(c.base).c_str(), c.baseAttributes);
        if (c.expected) {
            path.Append(W(c.append).c_str(), c.appendAttributes);
            EXPECT_EQ(Text(path), c.expected);
            EXPECT_EQ(path.GetPathAttributes(), c.expectedAttributes);
            continue;
        }
        Raised raised = Catch([&] { path.Append(W(c.append).c_str(), c.appendAttributes); });
        EXPECT_EQ(raised.code, c.code);
        EXPECT_NE((raised.debugText + raised.log).find(c.message), std::string::npos) << raised.log;
        EXPECT_NE(raised.log.find(std::string("             Cannot append '") + c.base +
                                  "' with '" + c.append + "'"),
                  std::string::npos);
        EXPECT_NE(raised.log.find("Quillkit: Error in Quillkit::StrictPath::Append function"),
                  std::string::npos);
    }
}

TEST_F(StrictPathTest, AppendTooLongNamesBothPathsInItsDetail) {
    const std::string base = "C:\\" + std::string(246, 'd') + "\\";
    StrictPath path(W(base).c_str(), kDirectory);
    Raised raised = Catch([&] { path.Append(QK_TEXT("123456789"), 0); });
    EXPECT_EQ(raised.detail, "The path 123456789 being appended to " + base +
                                 " results is longer than the MAX_PATH.");
}

TEST_F(StrictPathTest, PlusOperatorsAppendTheOtherPath) {
    StrictPath dir(QK_TEXT("C:\\Temp\\"), kDirectory);
    StrictPath name(QK_TEXT("sub\\file.txt"), 0);
    StrictPath joined = dir + name;
    EXPECT_EQ(Text(joined), "C:\\Temp\\sub\\file.txt");
    EXPECT_EQ(joined.GetPathAttributes(), 0);
    EXPECT_EQ(Text(dir), "C:\\Temp\\");
    dir += StrictPath(QK_TEXT("Installer"), kDirectory);
    EXPECT_EQ(Text(dir), "C:\\Temp\\Installer\\");
}

TEST_F(StrictPathTest, AssignmentKeepsItsModeBitsAndAddsTheOthers) {
    StrictPath target(kFixInvalid);
    StrictPath source(QK_TEXT("C:\\x\\"), kDirectory | kAllowWildcards);
    target = source;
    EXPECT_EQ(Text(target), "C:\\x\\");
    EXPECT_EQ(target.GetPathAttributes(), kDirectory | kAllowWildcards | kFixInvalid);
    target.Assign(QK_TEXT("C:\\a<b"), 0);
    EXPECT_EQ(Text(target), "C:\\a_b");
    EXPECT_EQ(target.GetPathAttributes(), kFixInvalid | kAllowWildcards);
}

TEST_F(StrictPathTest, ChangeAttributesChecksOnlyWhenTheBitsChange) {
    StrictPath path(QK_TEXT("C:\\dir\\"), kDirectory);
    path.ChangeAttributes(kDirectory, kKindMask);
    EXPECT_EQ(Text(path), "C:\\dir\\");
    Raised raised = Catch([&] { path.ChangeAttributes(0, kKindMask); });
    EXPECT_EQ(raised.debugText, "Path has a trailing backslash but is not a directory: C:\\dir\\");
}

TEST_F(StrictPathTest, CompareFoldsCaseAndOrdersByKindFirst) {
    const struct {
        const char* a;
        int aAttributes;
        const char* b;
        int bAttributes;
        int sign;
        int exact; // the exact result where it is fixed, else 0
    } cases[] = {
        {"C:\\TEMP\\", kDirectory, "c:\\temp\\", kDirectory, 0, 0},
        {"C:\\Temp\\", kDirectory, "C:\\Temp", 0, 1, 16},
        {"C:\\Temp", 0, "C:\\Temp\\", kDirectory, -1, -16},
        {"C:\\a", 0, "C:\\B", 0, -1, 0},
        {"C:\\b", 0, "C:\\a", 0, 1, 0},
        {"C:\\a", 0, "C:\\ab", 0, -1, 0},
        {"C:\\a", kMustBeAbsolute, "C:\\A", 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        StrictPath a(W(c.a).c_str(), c.aAttributes);
        StrictPath b(W(c.b).c_str(), c.bAttributes);
        const int result = a.Compare(b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign);
        if (c.exact) {
            EXPECT_EQ(result, c.exact);
        }
        EXPECT_EQ(a == b, c.sign == 0);
        EXPECT_EQ(a != b, c.sign != 0);
        EXPECT_EQ(a < b, c.sign < 0);
        EXPECT_EQ(a > b, c.sign > 0);
        EXPECT_EQ(a <= b, c.sign <= 0);
        EXPECT_EQ(a >= b, c.sign >= 0);
    }
}

TEST_F(StrictPathTest, ParentOfPathCases) {
    const struct {
        const char* text;
        const char* parent;
    } cases[] = {
        {"C:\\foo\\bar\\", "C:\\foo\\"},
        {"C:\\foo\\bar.txt", "C:\\foo\\"},
        {"C:\\", ""},
        {"\\\\srv\\share\\dir\\", "\\\\srv\\share\\"},
        {"\\\\srv\\share\\", ""},
        {"\\\\srv", ""},
        {"", "..\\"},
        {"..", "..\\..\\"},
        {"..\\", "..\\..\\"},
        {"a", ""},
    };
    for (const auto& c : cases) {
        WChar buffer[kMaxPath] = {};
        const WString text = W(c.text);
        std::copy(text.begin(), text.end(), buffer);
        ParentOfPath(buffer, kMaxPath);
        EXPECT_EQ(U8(buffer), c.parent) << c.text;
    }
}

TEST_F(StrictPathTest, GetParentDirectoryMakesADirectory) {
    StrictPath file(QK_TEXT("C:\\foo\\bar.txt"), 0);
    file.GetParentDirectory();
    EXPECT_EQ(Text(file), "C:\\foo\\");
    EXPECT_EQ(file.GetPathAttributes(), kDirectory);
    StrictPath root(QK_TEXT("C:\\"), kDirectory);
    root.GetParentDirectory();
    EXPECT_TRUE(root.IsEmpty());
    root.GetParentDirectory();
    EXPECT_EQ(Text(root), "..\\");
    StrictPath depot(QK_TEXT("//depot/x"), kP4Path);
    Raised raised = Catch([&] { depot.GetParentDirectory(); });
    EXPECT_EQ(raised.code, -40);
    EXPECT_NE(raised.log.find("StrictPath does not support getting parent directory of P4 paths "
                              "//depot/x"),
              std::string::npos);
}

TEST_F(StrictPathTest, RelativePaths) {
    const struct {
        const char* path;
        int attributes;
        const char* base;
        const char* relative;
    } cases[] = {
        {"C:\\a\\x\\f.txt", 0, "C:\\a\\b\\", "..\\x\\f.txt"},
        {"C:\\a\\b\\c.txt", 0, "C:\\a\\b\\", "c.txt"},
        {"c:\\A\\B\\d\\", kDirectory, "C:\\a\\b\\", "d\\"},
        {"C:\\a\\", kDirectory, "C:\\a\\b\\", "..\\"},
        {"C:\\y\\z", 0, "C:\\a\\b\\", "..\\..\\y\\z"},
        // No common root: nothing, where a "..\" per level would lead elsewhere.
        {"D:\\x", 0, "C:\\a\\b\\", ""},
    };
    for (const auto& c : cases) {
        StrictPath path(W(c.path).c_str(), c.attributes);
        StrictPath base(W(c.base).c_str(), kDirectory);
        StrictPath out(0);
        path.GetRelativePath(base, out);
        EXPECT_EQ(Text(out), c.relative) << c.path;
    }
}

TEST_F(StrictPathTest, VolumeRootsWithoutTheSystem) {
    const struct {
        const char* path;
        int attributes;
        const char* volume;
    } cases[] = {
        {"C:\\a\\b\\", kDirectory, "C:\\"},
        {"C:\\a\\b.txt", 0, "C:\\"},
        {"\\\\srv\\share\\dir\\", kDirectory, "\\\\srv\\share\\"},
    };
    for (const auto& c : cases) {
        StrictPath path(W(c.path).c_str(), c.attributes);
        path.GetVolume(false);
        EXPECT_EQ(Text(path), c.volume);
    }
    StrictPath relative(QK_TEXT("a\\"), kDirectory);
    Raised raised = Catch([&] { relative.GetVolume(false); });
    EXPECT_EQ(raised.code, -40);
    EXPECT_NE(raised.log.find("Quillkit: Non-absolute path 'a\\' passed to "
                              "Quillkit::StrictPath::GetVolume"),
              std::string::npos);
    StrictPath server(QK_TEXT("\\\\srv"), kDirectory);
    raised = Catch([&] { server.GetVolume(false); });
    EXPECT_EQ(raised.code, -40);
    EXPECT_NE(raised.log.find("Quillkit: Invalid path '\\\\srv\\' passed to "
                              "Quillkit::StrictPath::GetVolume"),
              std::string::npos);
}

TEST_F(StrictPathTest, VolumeOfARealFolder) {
    StrictPath path(W(Scratch()).c_str(), kDirectory);
    path.GetVolume(true);
    EXPECT_EQ(Text(path), Scratch().substr(0, 3));
}

TEST_F(StrictPathTest, MakeAbsoluteAgainstABaseAndTheCurrentDirectory) {
    StrictPath relative(QK_TEXT("x\\y.txt"), 0);
    relative.MakeAbsolute(StrictPath(QK_TEXT("C:\\a\\"), kDirectory), kDirectory);
    EXPECT_EQ(Text(relative), "C:\\a\\x\\y.txt");
    EXPECT_EQ(relative.GetPathAttributes(), 0);
    StrictPath absolute(QK_TEXT("D:\\q"), 0);
    absolute.MakeAbsolute(StrictPath(QK_TEXT("C:\\a\\"), kDirectory), kDirectory);
    EXPECT_EQ(Text(absolute), "D:\\q");

    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(scratch);
    StrictPath here(QK_TEXT("f.txt"), 0);
    here.MakeAbsolute(kDirectory);
    std::filesystem::current_path(saved);
    EXPECT_EQ(Text(here), Scratch("f.txt"));
    EXPECT_TRUE(here.IsAbsolute());
}

TEST_F(StrictPathTest, ReleaseBufferChecksWhatWasWritten) {
    StrictPath path(kFixInvalid);
    const WString text = W("C:\\w|x");
    std::copy(text.begin(), text.end() + 1, path.GetBuffer());
    path.ReleaseBuffer(kDirectory);
    EXPECT_EQ(Text(path), "C:\\w_x\\");
    EXPECT_EQ(path.GetPathAttributes(), kDirectory | kFixInvalid);
}

TEST_F(StrictPathTest, TrailingSlashHelpers) {
    const struct {
        const char* text;
        const char* appended;
        const char* removed;
    } cases[] = {
        {"C:\\a", "C:\\a\\", "C:\\a"},
        {"C:\\a\\", "C:\\a\\", "C:\\a"},
        {"", "", ""},
        {"\\", "\\", ""},
    };
    for (const auto& c : cases) {
        WChar buffer[kMaxPath] = {};
        const WString text = W(c.text);
        std::copy(text.begin(), text.end(), buffer);
        AppendLastSlash(buffer);
        EXPECT_EQ(U8(buffer), c.appended);
        std::fill(buffer, buffer + kMaxPath, WChar(0));
        std::copy(text.begin(), text.end(), buffer);
        RemoveLastSlash(buffer);
        EXPECT_EQ(U8(buffer), c.removed);
    }
    Raised raised = Catch([] { AppendLastSlash(nullptr); });
    EXPECT_EQ(raised.code, -40);
    EXPECT_NE(raised.log.find("Quillkit: Passed NULL string to Quillkit::AppendLastSlash"),
              std::string::npos);
    raised = Catch([] { RemoveLastSlash(nullptr); });
    EXPECT_NE(raised.log.find("Quillkit: Passed NULL string to Quillkit::RemoveLastSlash"),
              std::string::npos);
}

TEST_F(StrictPathTest, BuiltInCharacterClasses) {
    const struct {
        WChar unit;
        unsigned type;
    } cases[] = {
        {0x01, 0}, {0x1F, 0}, {'"', 0}, {'<', 0},  {'>', 0},    {'|', 0},  {' ', 1},
        {',', 1},  {';', 1},  {'*', 4}, {'?', 4},  {':', 8},    {'\\', 8}, {'/', 8},
        {'a', 3},  {'.', 3},  {'[', 3}, {0xE9, 3}, {0x4E2D, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuiltInCharType(c.unit), c.type) << int(c.unit);
    const WChar end = 0;
    EXPECT_EQ(GetCharType(&end), 3u);
}

} // namespace
} // namespace pathtest

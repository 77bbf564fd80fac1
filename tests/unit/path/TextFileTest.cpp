// TextFile: lines of any length, line endings, the end of the file.
#include "tests/unit/path/PathTestSupport.h"

#include "toolkit/path/TextFile.h"

namespace pathtest {
namespace {

using namespace Quillkit;

using TextFileTest = PathTest;

std::vector<std::string> ReadAllLines(const std::string& path) {
    TextFile file;
    EXPECT_TRUE(file.Open(W(path).c_str()));
    std::vector<std::string> lines;
    WString line;
    while (!file.AtEnd()) {
        file.ReadLine(line);
        lines.push_back(U8(line));
    }
    return lines;
}

TEST_F(TextFileTest, LinesOfEveryLengthWithEitherEnding) {
    const std::string a600(600, 'a');
    const std::string b254(254, 'b');
    const std::string c255(255, 'c');
    const std::string d509(509, 'd');
    const struct {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {a600 + "\r\nnext", {a600, "next"}},
        {"one\ntwo\r\nlast", {"one", "two", "last"}},
        {"one\n", {"one", ""}},
        {b254 + "\n" + c255 + "\n" + d509 + "\r\n", {b254, c255, d509, ""}},
        {"\r\n\nx", {"", "", "x"}},
        {"tail\r", {"tail\r"}},
        {"", {""}},
#ifndef _WIN32
        // UTF-8 is the ANSI code page here; Windows' is a single-byte one.
        {"gr\xC3\xBC\xC3\x9F" + std::string(300, 'e') + "\xE4\xB8\xAD",
         {"grüß" + std::string(300, 'e') + "中"}},
#endif
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "lines" + std::to_string(n++) + ".txt";
        WriteFile(name, c.bytes);
        EXPECT_EQ(ReadAllLines(Scratch(name)), c.lines) << c.bytes.substr(0, 30);
    }
}

#ifndef _WIN32
// A UTF-8 character that straddles the 255-byte pieces fgets reads in.
TEST_F(TextFileTest, AMultiByteCharacterAcrossAPieceBoundaryStaysWhole) {
    const std::string line = std::string(254, 'x') + "\xC3\xA9" + "y";
    WriteFile("split.txt", line + "\n");
    EXPECT_EQ(ReadAllLines(Scratch("split.txt")).at(0), std::string(254, 'x') + "éy");
}

#endif

TEST_F(TextFileTest, OpenFailsForAMissingFile) {
    TextFile file;
    EXPECT_FALSE(file.Open(W(Scratch("missing.txt")).c_str()));
    EXPECT_TRUE(file.AtEnd());
}

} // namespace
} // namespace pathtest

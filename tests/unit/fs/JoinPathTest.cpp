#include "tests/unit/fs/ScratchDir.h"
#include "zip/base/fs/FileSys.h"

#include <gtest/gtest.h>

#include <set>

using namespace vexmar;

namespace {

struct JoinCase {
    const char* directory;
    const char* name;
    const char* expected;
};

TEST(JoinPath, PlacesTheNameBelowTheDirectory) {
    const JoinCase cases[] = {
        {"C:\\dl", "\\\\server\\share\\x\\y.txt", "C:\\dl\\x\\y.txt"},
        {"C:\\dl", "D:\\a.txt", "C:\\dl\\a.txt"},
        {"C:\\dl\\", "sub/file.txt", "C:\\dl\\sub\\file.txt"},
        {"  C:/dl  ", "\\x.txt", "C:\\dl\\x.txt"},
        {"C:\\dl", "D:\\\\a.txt", "C:\\dl\\a.txt"},
        {"C:\\dl", "\\\\?\\D:\\a.txt", "C:\\dl\\a.txt"},
        {"C:\\dl", "\\\\?\\UNC\\server\\share\\\\a.txt", "C:\\dl\\a.txt"},
        {"C:\\dl", "\\\\server\\share", "C:\\dl\\"},
        {"C:\\dl", "\\\\server", "C:\\dl\\"},
        {"C:\\dl", "..\\up.txt", "C:\\dl\\..\\up.txt"},
        {"", "a/b.txt", "a\\b.txt"},
        {"  ", "\\a.txt", "\\a.txt"},
    };
    for (const JoinCase& c : cases) {
        XString path;
        FileSys::joinPath(scratch::X(c.directory), scratch::X(c.name), path);
        EXPECT_STREQ(path.getUtf8(), c.expected) << c.directory << " + " << c.name;
    }
}

// stem_XXXX.ext with four characters from A-Z and 0-9.
bool isTempName(const std::string& name, const std::string& stem, const std::string& extension) {
    if (name.size() != stem.size() + 5 + extension.size() || name.rfind(stem + "_", 0) != 0 ||
        name.substr(stem.size() + 5) != extension)
        return false;
    for (size_t i = stem.size() + 1; i < stem.size() + 5; ++i)
        if (!((name[i] >= 'A' && name[i] <= 'Z') || (name[i] >= '0' && name[i] <= '9')))
            return false;
    return true;
}

struct TempCase {
    const char* base;
    const char* stem;
    const char* extension;
};

TEST(TempFilePath, NamesAFreeFileInTheDirectory) {
    scratch::Dir dir;
    const TempCase cases[] = {
        {"", "x", ".tmp"},
        {"report", "report", ".tmp"},
        {"archive.tar.gz", "archive.tar", ".gz"},
    };
    for (const TempCase& c : cases) {
        for (const std::string& directory : {dir.path(), dir.path() + "/"}) {
            XString path;
            ASSERT_TRUE(
                FileSys::tempFilePath(scratch::X(c.base), scratch::X(directory), path, nullptr));
            const std::string text = path.getUtf8();
            const std::string prefix = dir.path();
            ASSERT_EQ(text.rfind(prefix, 0), 0u) << text;
            ASSERT_TRUE(text[prefix.size()] == '\\' || text[prefix.size()] == '/') << text;
            EXPECT_EQ(text.find_first_of("\\/", prefix.size() + 1), std::string::npos) << text;
            EXPECT_TRUE(isTempName(text.substr(prefix.size() + 1), c.stem, c.extension)) << text;
            EXPECT_FALSE(FileSys::fileExists(path, nullptr));
        }
    }
}

TEST(TempFilePath, CandidatesVary) {
    scratch::Dir dir;
    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) {
        XString path;
        ASSERT_TRUE(FileSys::tempFilePath(scratch::X("t"), scratch::X(dir.path()), path, nullptr));
        names.insert(path.getUtf8());
    }
    EXPECT_GT(names.size(), 15u);
}

} // namespace

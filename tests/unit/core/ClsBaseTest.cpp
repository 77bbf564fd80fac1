#include "zip/base/ClsBase.h"
#include "zip/base/XString.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

using namespace vexmar;

namespace {

std::string lastErrorText(ClsBase& object) {
    XString out;
    object.getLastErrorText(out);
    return out.getUtf8();
}

TEST(ClsBase, BracketRecordsTheOperation) {
    ClsBase object;
    object.beginOperation("OpenFromMemory");
    object.lastErrorLog().logData("numBytes", "12");
    object.endOperation(true);
    std::regex expected("VexmarLog:\r\n"
                        "  OpenFromMemory:\r\n"
                        "    DllDate: [^\r\n]+\r\n"
                        "    VexmarVersion: [^\r\n]+\r\n"
                        "    VerboseLogging: 0\r\n"
                        "    numBytes: 12\r\n"
                        "    Success.\r\n"
                        "  --OpenFromMemory\r\n"
                        "--VexmarLog\r\n");
    EXPECT_TRUE(std::regex_match(lastErrorText(object), expected)) << lastErrorText(object);
}

TEST(ClsBase, FailureIsAnErrorAndTheNextOperationClearsTheLog) {
    ClsBase object;
    object.beginOperation("First");
    object.endOperation(false);
    XString xml;
    object.getLastErrorXml(xml);
    EXPECT_TRUE(xml.containsUtf8("<error>Failed.</error>\r\n  </First>"));
    object.beginOperation("Second");
    object.endOperation(true);
    std::string text = lastErrorText(object);
    EXPECT_EQ(text.find("First"), std::string::npos);
    EXPECT_NE(text.find("Success."), std::string::npos);
}

TEST(ClsBase, VerboseFlagIsMirroredIntoTheLog) {
    ClsBase object;
    EXPECT_FALSE(object.getVerboseLogging());
    object.setVerboseLogging(true);
    EXPECT_TRUE(object.getVerboseLogging());
    EXPECT_TRUE(object.lastErrorLog().isVerbose());
    object.beginOperation("Op");
    EXPECT_NE(lastErrorText(object).find("VerboseLogging: 1"), std::string::npos);
}

TEST(ClsBase, BracketedErrorAndException) {
    ClsBase object;
    object.logBracketedError("Extract", "Archive object not found.");
    object.logException("bad_alloc");
    std::string text = lastErrorText(object);
    EXPECT_NE(text.find("  Extract:\r\n"), std::string::npos);
    EXPECT_NE(text.find("    Archive object not found.\r\n    Failed.\r\n  --Extract"),
              std::string::npos);
    EXPECT_NE(text.find("  Exception: bad_alloc\r\n"), std::string::npos);
}

TEST(ClsBase, DebugLogPathAndSaving) {
    ClsBase object;
    XString path;
    object.getDebugLogFilePath(path);
    EXPECT_TRUE(path.isEmpty());
    XString set;
    set.setFromUtf8((testing::TempDir() + "vexmar_cls.log").c_str());
    object.setDebugLogFilePath(set);
    object.getDebugLogFilePath(path);
    EXPECT_TRUE(path.equalsUtf8(set.getUtf8()));
    XString empty;
    object.setDebugLogFilePath(empty);
    object.getDebugLogFilePath(path);
    EXPECT_TRUE(path.isEmpty());

    XString blank;
    blank.setFromUtf8("  ");
    EXPECT_FALSE(object.saveLastError(blank));
    XString file;
    file.setFromUtf8((testing::TempDir() + "vexmar_cls.xml").c_str());
    EXPECT_TRUE(object.saveLastError(file));
    std::remove(file.getUtf8());
}

TEST(ClsBaseI, DefaultsAnswerFalse) {
    ClsBaseI plain;
    XString out;
    out.setFromUtf8("x");
    plain.getLastErrorText(out);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(plain.getVerboseLogging());
    EXPECT_FALSE(plain.saveLastError(out));
}

} // namespace

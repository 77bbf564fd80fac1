// The shared output data: one object per process, found through the export.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "os/DynamicLibrary.h"
#include "toolkit/diag/ModuleSearch.h"

namespace qktest {
namespace {

using namespace Quillkit;

TEST(SharedOutputTest, TheExportAnswersThisModulesObject) {
    MetaOutputData* shared = GetSharedOutputData();
    EXPECT_EQ(GetSharedOutputData(), shared);
    MetaOutputData* answered = nullptr;
    EXPECT_EQ(ORV_Quillkit_MetaOutput_GetSharedGlobalData(&answered), 0);
    EXPECT_EQ(answered, shared);
}

TEST(SharedOutputTest, ANewObjectStartsQuiet) {
    MetaOutputData data;
    EXPECT_EQ(data.GetLanguage(), 9);
    EXPECT_EQ(data.GetLoggingMode(), kLogDefault);
    EXPECT_EQ(data.GetDebugLogHandle(), os::kNoFile);
    EXPECT_EQ(data.GetCurrentError()->code, 0);
    EXPECT_FALSE(data.GetHoldReport());
    EXPECT_FALSE(data.GetLastLineMarked());
    EXPECT_EQ(data.PeekUserLogMessage(), nullptr);
    EXPECT_EQ(data.NextHistoryRecord(), nullptr);
    EXPECT_GT(data.GetCounterFrequency(), 0);
}

TEST(SharedOutputTest, UserLogReadingPosition) {
    MetaOutputData data;
    data.AddUserLogMessage(QK_TEXT("a"), true);
    data.AddUserLogMessage(QK_TEXT("b"), true);
    const WChar* first = data.GetNextUserLogMessage();
    data.AddUserLogMessage(QK_TEXT("c"), true);
    EXPECT_EQ(U8(first), "a"); // handed-out texts stay where they are
    EXPECT_EQ(U8(data.GetNextUserLogMessage()), "b");
    EXPECT_EQ(U8(data.GetNextUserLogMessage()), "c");
    EXPECT_EQ(data.GetNextUserLogMessage(), nullptr);
    data.AddUserLogMessage(QK_TEXT("d"), true);
    EXPECT_EQ(U8(data.GetNextUserLogMessage()), "d");
}

TEST(SharedOutputTest, TextSlotsAndHistoryNotes) {
    MetaOutputData data;
    auto format = [&](const WChar* f, ...) {
        va_list arguments;
        va_start(arguments, f);
        data.FormatText1(f, &arguments);
        va_end(arguments);
    };
    format(QK_TEXT("%s #%d"), QK_TEXT("host"), 3);
    EXPECT_EQ(U8(data.GetText2()), "host #3");
    data.AddNoteToHistory(QK_TEXT("noted"));
    const ErrorRecord* note = data.LastHistoryRecord();
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->kind, kKindNote);
    EXPECT_EQ(note->code, -60);
    EXPECT_EQ(U8(note->summary), "noted");
}

TEST(SharedOutputTest, ModuleSearchWalksUpwardThroughExportingModules) {
    const char* name = os::bindsSystemFunctions() ? "GetProcAddress" : "malloc";
    ModuleSearch search;
    std::vector<os::ModuleHandle> found;
    while (search.FindNextModuleExporting(name))
        found.push_back(search.Current());
    ASSERT_FALSE(found.empty());
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end(), std::less<os::ModuleHandle>()));
    EXPECT_EQ(std::adjacent_find(found.begin(), found.end()), found.end());
    EXPECT_FALSE(search.FindNextModuleExporting(name));
}

} // namespace
} // namespace qktest

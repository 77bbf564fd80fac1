// Two modules built with the toolkit in one process share one output object.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "toolkit/diag/DebugLog.h"

#include <windows.h>

namespace qktest {
namespace {

using namespace Quillkit;

template <typename Fn> Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

using ModulesTest = ToolkitTest;

TEST_F(ModulesTest, TheExecutableExportsItsObject) {
    auto answer = Export<int (*)(MetaOutputData**)>(GetModuleHandleW(nullptr),
                                                    "ORV_Quillkit_MetaOutput_GetSharedGlobalData");
    ASSERT_NE(answer, nullptr);
    MetaOutputData* answered = nullptr;
    EXPECT_EQ(answer(&answered), 0);
    EXPECT_EQ(answered, GetSharedOutputData());
}

TEST_F(ModulesTest, ALibraryLoadedLaterAdoptsTheExecutablesObject) {
    MetaOutputData* mine = GetSharedOutputData();
    HMODULE library = LoadLibraryW(L"toolkit_test_module.dll");
    ASSERT_NE(library, nullptr) << GetLastError();

    auto shared = Export<MetaOutputData* (*)()>(library, "QuillkitTestModule_SharedOutput");
    auto answer =
        Export<int (*)(MetaOutputData**)>(library, "ORV_Quillkit_MetaOutput_GetSharedGlobalData");
    auto log = Export<void (*)(const wchar_t*)>(library, "QuillkitTestModule_Log");
    ASSERT_TRUE(shared && answer && log);

    MetaOutputData* answered = nullptr;
    answer(&answered);
    EXPECT_EQ(answered, nullptr) << "the library has not needed the object yet";
    EXPECT_EQ(shared(), mine);
    answer(&answered);
    EXPECT_EQ(answered, mine);

    // The library writes through the executable's object: into the same debug log.
    LogDebugMessage(L"from the executable");
    log(L"from the library");
    EXPECT_EQ(LogText(), "from the executable\r\nfrom the library\r\n");

    // Unloading a library that only adopted the object leaves it alone.
    FreeLibrary(library);
    EXPECT_EQ(GetSharedOutputData(), mine);
    LogDebugMessage(L"after");
    EXPECT_EQ(LogLines().back(), "after");
}

} // namespace
} // namespace qktest

#include "Convert.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

using namespace vexmar;

namespace {

// Each thread converts the same input; all must get the same output.
void convertAtOnce(int from, int to, const std::string& in) {
    std::vector<std::string> results(8);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&, t] { results[t] = encConvert(from, to, in).bytes; });
    for (std::thread& t : threads)
        t.join();
    ASSERT_FALSE(results[0].empty());
    for (const std::string& r : results)
        EXPECT_EQ(r, results[0]);
}

// A code page's lookups are built on first use; threads that all need them at
// once must all get the same, complete tables. (Each test runs in a process of
// its own, so these are first uses.)
TEST(CodePageTables, ConcurrentFirstUse) {
    std::u16string all;
    for (int b = 0x80; b < 0x100; ++b)
        all += char16_t(b);
    convertAtOnce(1200, 850, le(all));
    convertAtOnce(1200, 949, le(u"\uAC00\uAC01\u4E00"));
    convertAtOnce(51932, 1200, "\xA4\xA2\x8F\xB0\xA1\x8E\xB1");
}

} // namespace

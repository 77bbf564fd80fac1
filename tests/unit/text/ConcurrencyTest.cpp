#include "Convert.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// The way back from UTF-16 is built on first use; threads that all need it at
// once must all get the same, complete table.
TEST(CodePageTables, ConcurrentFirstUse) {
    std::u16string all;
    for (int b = 0x80; b < 0x100; ++b)
        all += char16_t(b);
    std::string in = le(all);
    std::vector<std::string> results(8);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] { results[t] = encConvert(1200, 850, in).bytes; });
    }
    for (std::thread& t : threads)
        t.join();
    ASSERT_FALSE(results[0].empty());
    for (const std::string& r : results)
        EXPECT_EQ(r, results[0]);
}

} // namespace

#include "zip/base/CritSecExitor.h"
#include "zip/base/VexmarCritSec.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace vexmar;

namespace {

TEST(VexmarCritSec, IsRecursive) {
    VexmarCritSec cs;
    CritSecExitor outer(cs);
    CritSecExitor inner(&cs);
    CritSecExitor none(nullptr);
}

TEST(VexmarCritSec, SerialisesThreads) {
    VexmarCritSec cs;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                CritSecExitor lock(cs);
                counter = counter + 1;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(counter, 80000);
}

} // namespace

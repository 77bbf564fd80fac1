#include "os/Lock.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

TEST(RecursiveLock, OwnerEntersAgainWithoutBlocking) {
    os::RecursiveLock lock;
    lock.enter();
    lock.enter();
    lock.enter();
    lock.leave();
    lock.leave();
    lock.leave();
    // Fully left: another thread gets it.
    std::thread other([&] {
        lock.enter();
        lock.leave();
    });
    other.join();
}

TEST(RecursiveLock, OtherThreadWaitsUntilEveryEnterIsLeft) {
    os::RecursiveLock lock;
    std::atomic<bool> acquired{false};
    lock.enter();
    lock.enter();
    std::thread other([&] {
        lock.enter();
        acquired = true;
        lock.leave();
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(acquired);
    lock.leave();
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(acquired) << "released after the first of two leaves";
    lock.leave();
    other.join();
    EXPECT_TRUE(acquired);
}

TEST(RecursiveLock, NestedSectionsExcludeOtherThreads) {
    os::RecursiveLock lock;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                lock.enter();
                long seen = counter;
                lock.enter();
                std::this_thread::yield();
                counter = seen + 1;
                lock.leave();
                lock.leave();
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 4 * 5000);
}

} // namespace

#include "shared_lock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace lumo;

namespace {

// Waits by yielding; every holder counts as alive unless listed as dead.
class TestWaiter : public LockWaiter {
public:
    std::uint32_t dead = 0;
    unsigned give_up_after = 0; // rounds; 0 waits for ever
    std::vector<std::uint32_t> asked;

    void pause(unsigned) override { std::this_thread::yield(); }
    bool holder_alive(std::uint32_t holder) override {
        asked.push_back(holder);
        return holder != dead;
    }
    bool timed_out() override { return give_up_after != 0 && ++rounds >= give_up_after; }

private:
    unsigned rounds = 0;
};

} // namespace

TEST(SharedLock, KeepsThreadsOutOfEachOthersWay) {
    std::uint32_t word = 0;
    long long counter = 0; // plain on purpose: only the lock protects it
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, self = static_cast<std::uint32_t>(t + 1)] {
            TestWaiter waiter;
            for (int i = 0; i < kRounds; ++i) {
                ASSERT_TRUE(acquire_shared_lock(word, self, waiter));
                const long long seen = counter;
                std::this_thread::yield(); // widen the window a broken lock would lose counts in
                counter = seen + 1;
                release_shared_lock(word);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, kThreads * kRounds);
    EXPECT_EQ(word, 0u);
}

TEST(SharedLock, TakesOverFromADeadHolderAfterACheck) {
    std::uint32_t word = 777; // held by a thread that has ended
    TestWaiter waiter;
    waiter.dead = 777;
    ASSERT_TRUE(acquire_shared_lock(word, 5, waiter));
    EXPECT_EQ(word, 5u);
    EXPECT_EQ(waiter.asked, std::vector<std::uint32_t>{777}) << "one check, on the holder";
}

TEST(SharedLock, GivesUpUnderALivingHolderAndLeavesItsLock) {
    std::uint32_t word = 777;
    TestWaiter waiter;
    waiter.give_up_after = 3 * kHolderCheckRounds;
    EXPECT_FALSE(acquire_shared_lock(word, 5, waiter));
    EXPECT_EQ(word, 777u);
    EXPECT_EQ(waiter.asked.size(), 3u) << "a check every " << kHolderCheckRounds << " rounds";
}

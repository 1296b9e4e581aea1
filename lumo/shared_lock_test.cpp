#include "shared_lock.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <vector>

using namespace lumo;

namespace {

using State = thread_facts::kind;

// Waits by yielding, and sees the threads listed; an id not listed has no thread.
class TestWaiter : public lock_waiter {
public:
    std::map<std::uint32_t, thread_facts> threads;
    unsigned give_up_after = 0; // rounds; 0 waits for ever
    std::vector<std::uint32_t> asked;

    void pause(unsigned) override { std::this_thread::yield(); }
    thread_facts facts_of(std::uint32_t thread) override {
        asked.push_back(thread);
        auto found = threads.find(thread);
        return found == threads.end() ? thread_facts{} : found->second;
    }
    bool timed_out() override { return give_up_after != 0 && ++rounds >= give_up_after; }

private:
    unsigned rounds = 0;
};

constexpr lock_owner kHolder{777, 0x5EED};
constexpr lock_owner kSelf{5, 0xC0DE};

} // namespace

TEST(SharedLock, KeepsThreadsOutOfEachOthersWay) {
    std::uint64_t word = 0;
    long long counter = 0; // plain on purpose: only the lock protects it
    constexpr std::uint32_t kThreads = 4;
    constexpr int kRounds = 20000;
    std::map<std::uint32_t, thread_facts> running;
    for (std::uint32_t t = 1; t <= kThreads; ++t) {
        running[t] = {State::running, 100 + t};
    }
    std::vector<std::thread> threads;
    for (std::uint32_t t = 1; t <= kThreads; ++t) {
        threads.emplace_back([&, self = lock_owner{t, 100 + t}] {
            TestWaiter waiter;
            waiter.threads = running;
            for (int i = 0; i < kRounds; ++i) {
                ASSERT_TRUE(acquire_shared_lock(word, self, waiter));
                const long long seen = counter;
                std::this_thread::yield(); // widen the window a broken lock would lose counts in
                counter = seen + 1;
                release_shared_lock(word, self);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, kThreads * kRounds);
    EXPECT_EQ(word, 0u);
}

// The holder's id names no thread, or a newcomer given the id after the holder died.
TEST(SharedLock, TakesOverFromADeadHolderAfterACheck) {
    for (const thread_facts now :
         {thread_facts{}, thread_facts{State::running, kHolder.created + 1}}) {
        std::uint64_t word = lock_word(kHolder);
        TestWaiter waiter;
        waiter.threads[kHolder.thread] = now;
        waiter.give_up_after = 2 * kHolderCheckRounds; // a failure, not a hang
        ASSERT_TRUE(acquire_shared_lock(word, kSelf, waiter))
            << (now.state == State::none ? "no thread" : "a newcomer");
        EXPECT_EQ(word, lock_word(kSelf));
        EXPECT_EQ(waiter.asked, std::vector<std::uint32_t>{kHolder.thread})
            << "one check, on the holder";
    }
}

// Its own thread, or one the system will not show us, which may be it.
TEST(SharedLock, GivesUpUnderALivingHolderAndLeavesItsLock) {
    for (const thread_facts now :
         {thread_facts{State::running, kHolder.created}, thread_facts{State::hidden}}) {
        std::uint64_t word = lock_word(kHolder);
        TestWaiter waiter;
        waiter.threads[kHolder.thread] = now;
        waiter.give_up_after = 3 * kHolderCheckRounds;
        EXPECT_FALSE(acquire_shared_lock(word, kSelf, waiter));
        EXPECT_EQ(word, lock_word(kHolder));
        EXPECT_EQ(waiter.asked.size(), 3u) << "a check every " << kHolderCheckRounds << " rounds";
    }
}

// A holder that stalled long enough to be taken for dead, then goes on to release.
TEST(SharedLock, ReleaseByAHolderWhoseLockWasTakenOverLeavesTheNewOwners) {
    std::uint64_t word = lock_word(kHolder);
    TestWaiter waiter;
    ASSERT_TRUE(acquire_shared_lock(word, kSelf, waiter));
    release_shared_lock(word, kHolder);
    EXPECT_EQ(word, lock_word(kSelf));
    release_shared_lock(word, kSelf);
    EXPECT_EQ(word, 0u);
}

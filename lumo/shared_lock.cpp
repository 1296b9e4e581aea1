#include "shared_lock.h"

#include <atomic>

namespace lumo {

// One interlocked compare-exchange on both x86-64 and i686 (cmpxchg8b) Windows.
static_assert(std::atomic_ref<std::uint64_t>::is_always_lock_free);

namespace {

lock_owner owner_of(std::uint64_t word) {
    return {static_cast<std::uint32_t>(word), static_cast<std::uint32_t>(word >> 32)};
}

bool holder_alive(lock_owner holder, const thread_facts& now) {
    switch (now.state) {
    case thread_facts::kind::running:
        return now.created == holder.created; // else a newcomer given the holder's id
    case thread_facts::kind::hidden:
        return true; // taking a living holder's lock would let two writers in
    case thread_facts::kind::none:
        break;
    }
    return false;
}

} // namespace

bool acquire_shared_lock(std::uint64_t& word, lock_owner self, lock_waiter& waiter) {
    std::atomic_ref<std::uint64_t> lock(word);
    const std::uint64_t mine = lock_word(self);
    for (unsigned round = 0;; ++round) {
        std::uint64_t holder = 0;
        if (lock.compare_exchange_strong(holder, mine, std::memory_order_acquire)) {
            return true;
        }
        const lock_owner owner = owner_of(holder);
        if (round % kHolderCheckRounds == kHolderCheckRounds - 1 &&
            !holder_alive(owner, waiter.facts_of(owner.thread))) {
            // Its holder died between consistent steps at worst, as with an abandoned mutex.
            if (lock.compare_exchange_strong(holder, mine, std::memory_order_acquire)) {
                return true;
            }
            continue; // another waiter took it over first
        }
        if (waiter.timed_out()) {
            return false;
        }
        waiter.pause(round);
    }
}

void release_shared_lock(std::uint64_t& word, lock_owner self) {
    std::uint64_t mine = lock_word(self);
    std::atomic_ref<std::uint64_t>(word).compare_exchange_strong(mine, 0,
                                                                 std::memory_order_release);
}

} // namespace lumo

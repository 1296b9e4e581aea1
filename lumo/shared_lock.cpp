#include "shared_lock.h"

#include <atomic>

namespace lumo {

bool acquire_shared_lock(std::uint32_t& word, std::uint32_t self, LockWaiter& waiter) {
    std::atomic_ref<std::uint32_t> lock(word);
    for (unsigned round = 0;; ++round) {
        std::uint32_t holder = 0;
        if (lock.compare_exchange_strong(holder, self, std::memory_order_acquire)) {
            return true;
        }
        if (round % kHolderCheckRounds == kHolderCheckRounds - 1 && !waiter.holder_alive(holder)) {
            // Its holder died between consistent steps at worst, as with an abandoned mutex.
            if (lock.compare_exchange_strong(holder, self, std::memory_order_acquire)) {
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

void release_shared_lock(std::uint32_t& word) {
    std::atomic_ref<std::uint32_t>(word).store(0, std::memory_order_release);
}

} // namespace lumo

#pragma once
// The bus lock: one word in the shared section, 0 when free, else the id of the thread
// that holds it. An uncontended lock costs one interlocked instruction, where a named
// mutex costs two calls into the system (two server round trips under Wine) on every
// post. A holder that dies inside the lock is recognised by its id and its lock taken over.
#include <cstdint>

namespace lumo {

// What waiting needs from the system.
class LockWaiter {
public:
    virtual ~LockWaiter() = default;
    // Gives the holder time to finish; `round` counts the failed attempts so far.
    virtual void pause(unsigned round) = 0;
    // False once the thread with this id has ended.
    virtual bool holder_alive(std::uint32_t holder) = 0;
    // True once the caller has waited long enough to give up.
    virtual bool timed_out() = 0;
};

// Attempts between two checks on the holder: a check costs a system call or two.
constexpr unsigned kHolderCheckRounds = 64;

// Takes the lock for `self` (never 0); false when it timed out under a living holder.
bool acquire_shared_lock(std::uint32_t& word, std::uint32_t self, LockWaiter& waiter);
void release_shared_lock(std::uint32_t& word);

} // namespace lumo

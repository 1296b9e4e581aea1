#pragma once
// The bus lock: one 64-bit word in the shared section, 0 when free, else the thread that
// holds it. An uncontended lock costs one interlocked instruction, where a named mutex
// costs two calls into the system (two server round trips under Wine) on every post. A
// holder that dies inside the lock is recognised and its lock taken over.
#include <cstdint>

namespace lumo {

// A thread as the lock records it. The system soon hands a dead thread's id to a new
// thread of any process, now and then together with the dead process's id; the creation
// time tells the holder apart from such a newcomer.
struct lock_owner {
    std::uint32_t thread;  // never 0
    std::uint32_t created; // low 32 bits of the thread's creation time (100 ns units)
};

// The lock word of a holder.
constexpr std::uint64_t lock_word(lock_owner owner) {
    return std::uint64_t{owner.created} << 32 | owner.thread;
}

// What the system says now of the thread that carries an id.
struct thread_facts {
    enum class kind {
        none,    // no running thread has it
        running, // created at `created`
        hidden,  // a thread we may not look at (another user's, say)
    };
    kind state = kind::none;
    std::uint32_t created = 0;
};

// What waiting needs from the system.
class lock_waiter {
public:
    virtual ~lock_waiter() = default;
    // Gives the holder time to finish; `round` counts the failed attempts so far.
    virtual void pause(unsigned round) = 0;
    virtual thread_facts facts_of(std::uint32_t thread) = 0;
    // True once the caller has waited long enough to give up.
    virtual bool timed_out() = 0;
};

// Attempts between two checks on the holder: a check costs a few system calls.
constexpr unsigned kHolderCheckRounds = 64;

// Takes the lock for `self`; false when it timed out under a living holder.
bool acquire_shared_lock(std::uint64_t& word, lock_owner self, lock_waiter& waiter);
// Frees the lock only while `self` holds it: a holder whose lock was taken over (it stalled
// long enough to look dead) must not free the new owner's.
void release_shared_lock(std::uint64_t& word, lock_owner self);

} // namespace lumo

#include "reader_gate.h"

namespace bridge {

void reader_gate::dispatch_bytes(const std::uint8_t* bytes, std::size_t count) {
    std::lock_guard hold(lock);
    if (open) {
        target.dispatch_bytes(bytes, count);
    }
}

bool reader_gate::shut(std::chrono::milliseconds bound) {
    // Set before waiting, so a reader stuck in a hand-over starts no other one afterwards.
    open = false;
    std::unique_lock hold(lock, std::defer_lock);
    return hold.try_lock_for(bound);
}

} // namespace bridge

#include "reply_buffer.h"

namespace bridge {

void reply_buffer::collect_reply_byte(std::uint8_t byte) {
    std::lock_guard hold(lock);
    reply_bytes[static_cast<std::size_t>(reply_count)] = byte;
    if (reply_count < kMaxCount) {
        ++reply_count;
    }
}

reply_snapshot reply_buffer::snapshot() const {
    std::lock_guard hold(lock);
    return {reply_bytes, reply_count};
}

void reply_buffer::reset() {
    std::lock_guard hold(lock);
    reply_count = 0;
}

} // namespace bridge

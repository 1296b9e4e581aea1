#pragma once
// The control board's reply as the reader thread collects it and the timer decodes it.
#include <array>
#include <cstdint>
#include <mutex>

namespace bridge {

// A copy of the collected bytes: `count` of them are the reply.
struct reply_snapshot {
    std::array<std::uint8_t, 32> bytes{};
    int count = 0;
};

// Filled on the reader thread, read and reset on the UI thread; a lock keeps the count
// and the bytes consistent between them.
class reply_buffer {
public:
    // Stores the byte at the current count; the count stops at 31 and further bytes
    // overwrite the last slot.
    void collect_reply_byte(std::uint8_t byte);
    reply_snapshot snapshot() const;
    void reset();

private:
    static constexpr int kMaxCount = 31;
    mutable std::mutex lock;
    std::array<std::uint8_t, 32> reply_bytes{};
    // 1 before the first request, so the first decode reports one stray byte.
    int reply_count = 1;
};

} // namespace bridge

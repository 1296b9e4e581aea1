#pragma once
// The reader thread's way to the bridge: a byte sink that the serial channel can shut when
// it gives up on a reader that did not end in time, so nothing that reader reads later
// reaches the bridge.
#include "link_ports.h"

#include <atomic>
#include <chrono>
#include <mutex>

namespace bridge {

class reader_gate final : public byte_sink {
public:
    explicit reader_gate(byte_sink& target) : target(target) {}

    // Passes the chunk on while the gate is open (reader thread).
    void dispatch_bytes(const std::uint8_t* bytes, std::size_t count) override;
    // Later chunks are dropped. Waits up to `bound` for a hand-over in progress; false when
    // one was still running then (a reader stuck inside it).
    bool shut(std::chrono::milliseconds bound);

private:
    byte_sink& target;
    std::timed_mutex lock;
    std::atomic<bool> open{true};
};

} // namespace bridge

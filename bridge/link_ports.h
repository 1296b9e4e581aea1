#pragma once
// What the bridge logic sees of the outside world: the bus it posts to, the port it
// writes to, and the target of the bytes the reader thread receives. The Windows shell
// and the serial channel implement them; tests use recording doubles.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace bridge {

// Milliseconds on the shell's monotonic clock.
using link_time = std::chrono::milliseconds;

// A post to the bus: the type word and the payload bytes, which the sink copies.
// Tester lines are posted from the reader thread and everything else from the UI
// thread, so an implementation must accept calls from both.
class bus_sink {
public:
    virtual ~bus_sink() = default;
    virtual void post(std::uint32_t type, std::string_view bytes) = 0;
};

// The serial port as the command mapping uses it (UI thread only).
class device_port {
public:
    virtual ~device_port() = default;
    virtual bool connected() const = 0;
    virtual int number() const = 0;
    // Writes one block; false when the write could not be started.
    virtual bool write(const std::uint8_t* bytes, std::size_t count) = 0;
};

// Receives every chunk the reader thread reads, in order, on the reader thread.
class byte_sink {
public:
    virtual ~byte_sink() = default;
    virtual void dispatch_bytes(const std::uint8_t* bytes, std::size_t count) = 0;
};

} // namespace bridge

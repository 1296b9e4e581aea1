#pragma once
// What the bridge logic sees of the outside world: the bus it posts to, the port it
// writes to and opens, and the target of the bytes the reader thread receives. The Windows
// shell and the serial channel implement them; tests use recording doubles.
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
    virtual bool write_bytes(const std::uint8_t* bytes, std::size_t count) = 0;
};

// Receives every chunk the reader thread reads, in order, on the reader thread.
class byte_sink {
public:
    virtual ~byte_sink() = default;
    virtual void dispatch_bytes(const std::uint8_t* bytes, std::size_t count) = 0;
};

// The whole serial channel as the bridge window drives it (UI thread only).
class serial_channel : public device_port {
public:
    // Takes effect at the next open.
    virtual void set_baud_rate(std::uint32_t baud_rate) = 0;
    // Opens COMn; true on success, and at once when already open.
    virtual bool open_port(int port_number) = 0;
    // Starts the thread that hands received chunks to the target; false when it could not.
    virtual bool start_reader(byte_sink& target) = 0;
    // Stops the reader and closes the port; nothing when already closed.
    virtual void close_port() = 0;
    // The open port's device has failed for good (an adapter pulled out); only a close and
    // a new open can bring it back.
    virtual bool lost() const = 0;
};

} // namespace bridge

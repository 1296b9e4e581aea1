#pragma once
// The bridge logic of one mode behind one face, so the Windows shell only forwards:
// bus keywords to handle_command, timer 1 to tick, the one-shot timer to wake, and the
// serial channel's chunks to dispatch_bytes.
#include "link_ports.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace bridge {

// Shown in the status line. RX bytes and RF chunks received (reader thread), TX bytes
// and TF blocks written (UI thread).
struct traffic_counters {
    std::atomic<std::uint32_t> rx{0};
    std::atomic<std::uint32_t> tx{0};
    std::atomic<std::uint32_t> rf{0};
    std::atomic<std::uint32_t> tf{0};
};

class link_mapping : public byte_sink {
public:
    // A keyword accepted from the bus.
    virtual void handle_command(std::string_view text, link_time now) = 0;
    // The periodic timer, while the port is open.
    virtual void tick() = 0;
    // The periodic timer while a lost port is being reopened: what a silent device reports.
    virtual void tick_while_lost() = 0;
    // The port was closed under the mapping (its device failed); it opens again later.
    virtual void port_closed() {}
    // When the shell should call wake next, if anything is waiting for a moment.
    virtual std::optional<link_time> wake_at() const { return std::nullopt; }
    virtual void wake(link_time /*now*/) {}

    const traffic_counters& traffic() const { return counters; }

protected:
    void count_received(std::size_t count);
    void count_written(std::size_t count);
    traffic_counters counters;
};

// Mode 1 is the control board, any other mode the tester.
std::unique_ptr<link_mapping> make_link_mapping(int mode, device_port& port, bus_sink& bus);

// "Port closed %d" with the port number.
std::string port_closed_text(int port_number);

} // namespace bridge

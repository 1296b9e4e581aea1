#pragma once
// Mode 1: the Modbus master of the control board, driven by a 250 ms tick.
#include "control_requests.h"
#include "link_mapping.h"
#include "reply_buffer.h"

#include <cstdint>
#include <optional>
#include <string>

namespace bridge {

// One pending write per register, and one deferred power-up that becomes pending after three
// ticks with nothing else pending. A pending power write goes first. With nothing pending
// each tick polls the status register.
// - Two registers, two slots: a lamp keyword right after "powering_down" (the end of every
//   cycle) cannot drop the power-off and leave a board powered in an open fixture.
// - The status slot holds one change that every status keyword adds to, applied when the
//   write is sent, so "pressurize" then "status_clear" within one tick still closes the
//   fixture.
// - "powering_down" cancels a deferred power-up: a board powered a second later would be
//   powered on the bed of nails during the next test.
// - A lost port drops the queue but for a power-off: the controller goes on meanwhile (it
//   is told "paralyzed" every tick and "Port closed" for every command, a "powering_down"
//   too), so a power-up, a press or a lamp written after the reopen would act on a fixture
//   that has moved on.
class control_link final : public link_mapping {
public:
    control_link(device_port& port, bus_sink& bus);

    // One of the six keywords the board acts on; anything else is ignored.
    void handle_command(std::string_view text, link_time now) override;
    // Decodes the reply to the previous request, then sends the next one.
    void tick() override;
    void tick_while_lost() override;
    // Drops everything queued for the board but a power-off, and the reply read so far.
    void port_closed() override;
    void dispatch_bytes(const std::uint8_t* bytes, std::size_t count) override;

private:
    void send_next_request();

    static constexpr int kDeferTicks = 3;
    device_port& port;
    bus_sink& bus;
    reply_buffer replies;
    // The last polled value, and the newer of it and the last value written: what a status
    // write starts from.
    std::uint16_t status_word = 0;
    std::uint16_t status_known = 0;
    std::optional<status_change> pending_status;
    std::string pending_power; // "powering_down" or "powering_up_N"
    std::string deferred_command;
    int deferred_countdown = 0;
};

} // namespace bridge

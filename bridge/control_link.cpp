#include "control_link.h"

#include "keywords.h"
#include "reply_decoder.h"
#include "type_word.h"

namespace bridge {

control_link::control_link(device_port& port, bus_sink& bus) : port(port), bus(bus) {}

void control_link::handle_command(std::string_view text, link_time) {
    if (!is_control_command(text)) {
        return;
    }
    if (!port.connected()) {
        bus.post(bus::kBridgeKeyword, port_closed_text(port.number()));
        return;
    }
    if (bus::keyword::powering_up_index(text)) {
        // Everything off first; the named station follows after the deferral.
        pending_power = bus::keyword::kPoweringDown;
        deferred_command = text;
        deferred_countdown = kDeferTicks;
    } else if (text == bus::keyword::kPoweringDown) {
        pending_power = text;
        deferred_command.clear();
        deferred_countdown = 0;
    } else {
        pending_status = pending_status.value_or(status_change{}).then(status_change_for(text));
    }
}

void control_link::tick() {
    if (decode_reply(replies.snapshot(), status_word, bus)) {
        status_known = status_word;
    }
    send_next_request();
}

void control_link::tick_while_lost() {
    bus.post(bus::kBridgeKeyword, bus::keyword::kParalyzed);
}

void control_link::port_closed() {
    // A power-off still waiting is kept: it cannot harm a board, and without it a station
    // powered before the loss would stay powered into the next test.
    if (pending_power != bus::keyword::kPoweringDown) {
        pending_power.clear();
    }
    pending_status.reset();
    deferred_command.clear();
    deferred_countdown = 0;
    // The first decode after the reopen reports silence, not a reply read before the loss.
    replies.reset();
}

void control_link::send_next_request() {
    if (pending_power.empty() && !pending_status && deferred_countdown > 0 &&
        --deferred_countdown == 0) {
        pending_power = deferred_command;
    }
    std::optional<frame> request;
    if (!pending_power.empty()) {
        request = power_request(pending_power);
        pending_power.clear();
    } else if (pending_status) {
        status_known = pending_status->applied_to(status_known);
        request = status_write(status_known);
        pending_status.reset();
    } else {
        request = poll_request();
    }
    // Reset before writing, so that a quick reply cannot be counted and then wiped.
    replies.reset();
    if (request) {
        port.write_bytes(request->data(), request->size());
        count_written(request->size());
    }
}

void control_link::dispatch_bytes(const std::uint8_t* bytes, std::size_t count) {
    count_received(count);
    for (std::size_t i = 0; i < count; ++i) {
        replies.collect_reply_byte(bytes[i]);
    }
}

} // namespace bridge

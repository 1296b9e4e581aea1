#pragma once
// Which frame a control command puts on the wire.
#include "modbus_frame.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace bridge {

// What a status keyword does to the status register: the bits it keeps and the bits it
// sets. Keywords that arrive before the write is sent are chained into one change.
struct status_change {
    std::uint16_t keep = 0xFFFF;
    std::uint16_t set = 0;

    std::uint16_t applied_to(std::uint16_t value) const {
        return static_cast<std::uint16_t>((value & keep) | set);
    }
    status_change then(status_change next) const {
        return {static_cast<std::uint16_t>(keep & next.keep),
                static_cast<std::uint16_t>((set & next.keep) | next.set)};
    }
};

// "pressurize" sets the pressurize bit. After "status_": "clear" clears both lamps,
// "allpass" lights the all-pass lamp, anything else the fail lamp.
status_change status_change_for(std::string_view command);

// The power byte for a station index: 0x10 shifted by the index, cut to a byte, so 4 to 9
// power nothing.
std::uint8_t power_value(int index);

// The power write for "powering_down" or "powering_up_" and an index; nothing for any
// other text.
std::optional<frame> power_request(std::string_view command);

// One of the six keywords the control bridge acts on.
bool is_control_command(std::string_view text);

} // namespace bridge

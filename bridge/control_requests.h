#pragma once
// Which frame a control command puts on the wire.
#include "modbus_frame.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace bridge {

// The status-register value for the text after "status_": "clear" clears both lamps,
// "allpass" lights the all-pass lamp, anything else the fail lamp.
std::uint16_t status_value(std::string_view lamp, std::uint16_t status_word);

// The power byte for a station index: 0x10 shifted by the index, cut to a byte, so 4 to 9
// power nothing.
std::uint8_t power_value(int index);

// The frame for a pending command, the poll when none is pending, nothing for a text that
// names no request. Status writes start from the last polled status word.
std::optional<frame> request_for(std::string_view command, std::uint16_t status_word);

// One of the six keywords the control bridge acts on.
bool is_control_command(std::string_view text);

} // namespace bridge

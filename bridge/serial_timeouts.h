#pragma once
// The port's timeouts for a line speed, in milliseconds.
#include <cstdint>

namespace bridge {

struct serial_timeouts {
    std::uint32_t read_interval;
    std::uint32_t read_multiplier;
    std::uint32_t read_constant;
    std::uint32_t write_multiplier;
    std::uint32_t write_constant;
};

// Reads give up a second after the last byte; writes allow one millisecond per byte at
// 19200 baud or slower, in whole milliseconds, so none above it.
serial_timeouts timeouts_for(std::uint32_t baud_rate);

} // namespace bridge

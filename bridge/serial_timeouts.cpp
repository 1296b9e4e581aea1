#include "serial_timeouts.h"

namespace bridge {

serial_timeouts timeouts_for(std::uint32_t baud_rate) {
    std::uint32_t write_multiplier = baud_rate == 0 ? 0 : 19200 / baud_rate;
    return {1000, 1, 10, write_multiplier, 4};
}

} // namespace bridge

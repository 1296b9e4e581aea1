#pragma once
// CRC-16/MODBUS, for the frames the fault layer changes: the simulator's own, so that it
// shares no frame code with the bridge it tests.
#include <cstdint>
#include <vector>

namespace sim {

// Whether the frame ends in the right CRC (low byte first).
bool crc_valid(const std::vector<std::uint8_t>& frame);

// Rewrites the frame's last two bytes with the CRC of the bytes before them.
void seal(std::vector<std::uint8_t>& frame);

} // namespace sim

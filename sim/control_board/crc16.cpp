#include "crc16.h"

namespace sim {

namespace {

std::uint16_t crc_of(const std::vector<std::uint8_t>& frame) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i + 2 < frame.size(); ++i) {
        crc ^= frame[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
        }
    }
    return crc;
}

} // namespace

bool crc_valid(const std::vector<std::uint8_t>& frame) {
    std::size_t n = frame.size();
    return n >= 4 && crc_of(frame) == (frame[n - 2] | frame[n - 1] << 8);
}

void seal(std::vector<std::uint8_t>& frame) {
    std::size_t n = frame.size();
    if (n < 4) {
        return;
    }
    std::uint16_t crc = crc_of(frame);
    frame[n - 2] = static_cast<std::uint8_t>(crc & 0xFF);
    frame[n - 1] = static_cast<std::uint8_t>(crc >> 8);
}

} // namespace sim

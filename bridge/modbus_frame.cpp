#include "modbus_frame.h"

namespace bridge {

std::uint16_t modbus_crc(const std::uint8_t* bytes, std::size_t length) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            bool out = (crc & 1) != 0;
            crc >>= 1;
            if (out) {
                crc ^= 0xA001;
            }
        }
    }
    return crc;
}

namespace {

frame request(std::uint8_t unit, std::uint8_t function, std::uint16_t value) {
    frame f{unit,
            function,
            static_cast<std::uint8_t>(kRegister >> 8),
            static_cast<std::uint8_t>(kRegister & 0xFF),
            static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value & 0xFF),
            0,
            0};
    std::uint16_t crc = modbus_crc(f.data(), 6);
    f[6] = static_cast<std::uint8_t>(crc & 0xFF); // low byte first
    f[7] = static_cast<std::uint8_t>(crc >> 8);
    return f;
}

} // namespace

frame poll_request() {
    return request(kStatusUnit, kReadHolding, 1);
}

frame status_write(std::uint16_t value) {
    return request(kStatusUnit, kWriteSingle, value);
}

frame power_write(std::uint8_t value) {
    return request(kPowerUnit, kWriteSingle, value);
}

} // namespace bridge

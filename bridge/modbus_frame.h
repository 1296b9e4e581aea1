#pragma once
// The control board's Modbus RTU frames: CRC-16/MODBUS and the three requests.
#include <array>
#include <cstddef>
#include <cstdint>

namespace bridge {

using frame = std::array<std::uint8_t, 8>;

// Units and the one register both of them use.
constexpr std::uint8_t kStatusUnit = 1;
constexpr std::uint8_t kPowerUnit = 2;
constexpr std::uint16_t kRegister = 0x0012;
constexpr std::uint8_t kReadHolding = 0x03;
constexpr std::uint8_t kWriteSingle = 0x06;

// Bits of the status register.
constexpr std::uint16_t kClampInput = 0x0010;
constexpr std::uint16_t kAllPassLamp = 0x0020;
constexpr std::uint16_t kFailLamp = 0x0040;
constexpr std::uint16_t kPressurize = 0x0080;

// Bit by bit, no table: reflected 0xA001, start 0xFFFF. Over a whole valid frame,
// CRC bytes included, the result is 0.
std::uint16_t modbus_crc(const std::uint8_t* bytes, std::size_t length);

// Read one holding register at unit 1.
frame poll_request();
// Write single register at unit 1.
frame status_write(std::uint16_t value);
// Write single register at unit 2; the high byte is always 0.
frame power_write(std::uint8_t value);

} // namespace bridge

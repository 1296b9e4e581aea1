#include "control_requests.h"
#include "link_test_doubles.h"
#include "modbus_frame.h"
#include "serial_timeouts.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace bridge;
using bridge::testing::bytes_of;
using bridge::testing::hex_of;

TEST(ModbusCrc, CheckValueAndZeroOverAValidFrame) {
    const char* digits = "123456789";
    EXPECT_EQ(modbus_crc(reinterpret_cast<const std::uint8_t*>(digits), std::strlen(digits)),
              0x4B37);
    EXPECT_EQ(modbus_crc(nullptr, 0), 0xFFFF);
    auto reply = bytes_of("01 03 02 00 10 B9 88");
    EXPECT_EQ(modbus_crc(reply.data(), reply.size()), 0);
    reply[4] ^= 0x01;
    EXPECT_NE(modbus_crc(reply.data(), reply.size()), 0);
}

TEST(ModbusFrames, PollStatusAndPowerRequests) {
    EXPECT_EQ(hex_of(poll_request()), "01 03 00 12 00 01 24 0F");
    EXPECT_EQ(hex_of(power_write(0x10)), "02 06 00 12 00 10 28 30");
    EXPECT_EQ(hex_of(power_write(0x20)), "02 06 00 12 00 20 28 24");
    EXPECT_EQ(hex_of(power_write(0x40)), "02 06 00 12 00 40 28 0C");
    EXPECT_EQ(hex_of(power_write(0x80)), "02 06 00 12 00 80 28 5C");
    EXPECT_EQ(hex_of(power_write(0x00)), "02 06 00 12 00 00 29 FC");
    auto status = status_write(0x1280);
    EXPECT_EQ(hex_of(std::vector(status.begin(), status.begin() + 6)), "01 06 00 12 12 80");
    EXPECT_EQ(modbus_crc(status.data(), status.size()), 0) << "CRC sent low byte first";
}

TEST(ControlRequests, StatusValuesFollowTheLampName) {
    auto after = [](const char* command, std::uint16_t value) {
        return status_change_for(command).applied_to(value);
    };
    EXPECT_EQ(after("status_clear", 0x0070), 0x0010);
    EXPECT_EQ(after("status_allpass", 0x0010), 0x0030);
    EXPECT_EQ(after("status_fail", 0x0010), 0x0050);
    EXPECT_EQ(after("status_anything", 0x0000), 0x0040) << "any other name lights fail";
    EXPECT_EQ(after("pressurize", 0x0070), 0x00F0);
    EXPECT_EQ(after("status_allpass", 0x1234), 0x1234 | 0x20);
    auto chained = status_change_for("status_fail").then(status_change_for("status_clear"));
    EXPECT_EQ(chained.then(status_change_for("pressurize")).applied_to(0x0070), 0x0090);
}

TEST(ControlRequests, PowerValuesAndCommandFrames) {
    const std::uint8_t expected[10] = {0x10, 0x20, 0x40, 0x80, 0, 0, 0, 0, 0, 0};
    for (int index = 0; index < 10; ++index) {
        EXPECT_EQ(power_value(index), expected[index]) << "index " << index;
    }
    EXPECT_EQ(power_request("powering_down"), power_write(0));
    EXPECT_EQ(power_request("powering_up_3"), power_write(0x80));
    EXPECT_EQ(power_request("powering_up_7"), power_write(0)) << "shifted out of the byte";
    EXPECT_EQ(power_request("powering_up_x"), power_write(0x10)) << "a non-digit is index 0";
    EXPECT_FALSE(power_request("qel_start"));
}

TEST(ControlRequests, OnlyTheSixKeywordsAreAccepted) {
    for (const char* text : {"pressurize", "powering_down", "status_clear", "status_allpass",
                             "status_fail", "powering_up_0", "powering_up_9", "powering_up_?"}) {
        EXPECT_TRUE(is_control_command(text)) << text;
    }
    for (const char* text : {"qel_start", "powering_up_", "powering_up_12", "status_", "status",
                             "Pressurize", "pressurize ", "status_clear\r", ""}) {
        EXPECT_FALSE(is_control_command(text)) << text;
    }
}

TEST(SerialTimeouts, WriteMultiplierFollowsTheLineSpeed) {
    EXPECT_EQ(timeouts_for(115200).write_multiplier, 0u);
    EXPECT_EQ(timeouts_for(19200).write_multiplier, 1u);
    EXPECT_EQ(timeouts_for(9600).write_multiplier, 2u);
    EXPECT_EQ(timeouts_for(0).write_multiplier, 0u) << "no division by zero";
}

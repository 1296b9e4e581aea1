// The bridge's control mapping driving the libmodbus board: two independent Modbus
// implementations that must agree on every frame.
#include "control_link.h"
#include "link_test_doubles.h"
#include "unit_server.h"

#include <gtest/gtest.h>

using namespace bridge::testing;

namespace {

// A port whose far end is the simulated board, answering before the write returns.
class board_port : public bridge::device_port {
public:
    explicit board_port(sim::unit_server& units) : units(units) {}
    bool connected() const override { return true; }
    int number() const override { return 5; }
    bool write_bytes(const std::uint8_t* bytes, std::size_t count) override {
        auto reply = units.handle({bytes, bytes + count});
        EXPECT_EQ(units.rejected, "");
        if (!reply.empty()) {
            link->dispatch_bytes(reply.data(), reply.size());
        }
        return true;
    }
    bridge::byte_sink* link = nullptr;

private:
    sim::unit_server& units;
};

class BridgeAndBoard : public ::testing::Test {
protected:
    void SetUp() override {
        port.link = &link;
        link.tick(); // the stray start-up byte
        bus.take();
    }
    // The keywords of one tick, without raw frames.
    std::vector<post_record> tick() {
        link.tick();
        std::vector<post_record> out;
        for (auto& post : bus.take()) {
            if (post.type != 0x10000400) {
                out.push_back(post);
            }
        }
        return out;
    }

    sim::unit_server units;
    recording_bus bus;
    board_port port{units};
    bridge::control_link link{port, bus};
};

} // namespace

TEST_F(BridgeAndBoard, PollsReportTheClampInput) {
    EXPECT_EQ(tick(), std::vector{keyword("slack")});
    units.set_clamp(true);
    EXPECT_EQ(tick(), std::vector{keyword("slack")}) << "the reply already collected";
    EXPECT_EQ(tick(), std::vector{keyword("squeezed")});
    units.set_clamp(false);
    tick();
    EXPECT_EQ(tick(), std::vector{keyword("slack")});
}

TEST_F(BridgeAndBoard, StatusWritesKeepWhatThePollSaw) {
    units.set_clamp(true);
    tick();
    link.handle_command("pressurize", {});
    tick();
    EXPECT_EQ(units.status(), 0x0090);
    EXPECT_EQ(tick(), std::vector{diagnostic("frame data error")}) << "unit-1 echo";
    EXPECT_EQ(tick(), std::vector{keyword("squeezed")});
    link.handle_command("status_fail", {});
    tick();
    EXPECT_EQ(units.status(), 0x00D0);
    tick();
    tick();
    link.handle_command("status_clear", {});
    tick();
    EXPECT_EQ(units.status(), 0x0090);
    units.set_clamp(false);
    EXPECT_EQ(units.status(), 0x0080) << "the clamp is an input of the board";
}

TEST_F(BridgeAndBoard, PowerUpReachesExactlyTheNamedStation) {
    units.set_clamp(true);
    link.handle_command("powering_up_2", {});
    std::vector<std::uint16_t> power;
    std::vector<post_record> events;
    for (int i = 0; i < 5; ++i) {
        auto posted = tick();
        events.insert(events.end(), posted.begin(), posted.end());
        power.push_back(units.power());
    }
    EXPECT_EQ(power, (std::vector<std::uint16_t>{0, 0, 0, 0x40, 0x40}));
    EXPECT_EQ(events, (std::vector{keyword("slack"), keyword("powered_off"), keyword("squeezed"),
                                   keyword("squeezed"), keyword("powered")}));
    link.handle_command("powering_down", {});
    tick();
    EXPECT_EQ(units.power(), 0);
    EXPECT_EQ(tick(), std::vector{keyword("powered_off")});
}

TEST_F(BridgeAndBoard, SilentBoardLeavesTheBridgeParalyzed) {
    units.set_silent(true);
    tick();
    EXPECT_EQ(tick(), std::vector{keyword("paralyzed")});
    units.set_silent(false);
    tick();
    EXPECT_EQ(tick(), std::vector{keyword("slack")});
}

TEST(UnitServer, RejectsWhatARealBoardWouldNotAnswer) {
    sim::unit_server units;
    EXPECT_TRUE(units.handle(bytes_of("01 03 00 12 00 01 24 0E")).empty());
    EXPECT_NE(units.rejected, "") << "bad CRC";
    EXPECT_TRUE(units.handle(bytes_of("03 03 00 12 00 01 25 ED")).empty());
    EXPECT_EQ(units.rejected, "no unit 3");
    EXPECT_TRUE(units.handle(bytes_of("01 03 00 12")).empty());
    EXPECT_NE(units.rejected, "") << "cut short";
    EXPECT_EQ(hex_of(units.handle(bytes_of("01 03 00 12 00 01 24 0F"))), "01 03 02 00 00 B8 44")
        << "and still answers the next good request";
}

TEST(UnitServer, DescribesTheRegisters) {
    EXPECT_EQ(sim::describe_status(0x00B0),
              "unit=1 value=0x00B0 clamp=1 pressurize=1 allpass=1 fail=0");
    EXPECT_EQ(sim::describe_power(0x0030), "unit=2 value=0x0030 on=1#,2#");
    EXPECT_EQ(sim::describe_power(0), "unit=2 value=0x0000 on=none");
}

#include "control_link.h"
#include "link_test_doubles.h"
#include "modbus_frame.h"

#include <gtest/gtest.h>

using namespace bridge;
using namespace bridge::testing;

namespace {

const std::string kPoll = "01 03 00 12 00 01 24 0F";
const std::string kPowerOff = "02 06 00 12 00 00 29 FC";
const std::string kSlack = "01 03 02 00 00 B8 44";
const std::string kSqueezed = "01 03 02 00 10 B9 88";

class ControlLink : public ::testing::Test {
protected:
    void SetUp() override {
        // The first tick reports the stray start-up byte; later ones start clean.
        EXPECT_EQ(tick(), kPoll);
        EXPECT_EQ(bus.take(), (std::vector{raw("00"), diagnostic("received unknow size.")}));
    }
    // One timer tick: the frame it wrote, or "" for none.
    std::string tick() {
        link.tick();
        auto writes = port.take();
        EXPECT_LE(writes.size(), 1u);
        return writes.empty() ? "" : hex_of(writes[0]);
    }
    void answer(const std::string& hex) {
        auto b = bytes_of(hex);
        link.dispatch_bytes(b.data(), b.size());
    }
    // The keywords and diagnostics posted, without the raw frames.
    std::vector<post_record> events() {
        std::vector<post_record> out;
        for (auto& post : bus.take()) {
            if (post.type != 0x10000400) {
                out.push_back(post);
            }
        }
        return out;
    }

    recording_port port;
    recording_bus bus;
    control_link link{port, bus};
};

} // namespace

TEST_F(ControlLink, PoweringUpTickByTick) {
    answer(kSlack);
    link.handle_command("powering_up_1", {});
    EXPECT_EQ(tick(), kPowerOff) << "tick k";
    EXPECT_EQ(events(), std::vector{keyword("slack")});
    answer(kPowerOff);
    EXPECT_EQ(tick(), kPoll) << "k+1";
    EXPECT_EQ(events(), std::vector{keyword("powered_off")});
    answer(kSqueezed);
    EXPECT_EQ(tick(), kPoll) << "k+2";
    EXPECT_EQ(events(), std::vector{keyword("squeezed")});
    answer(kSqueezed);
    EXPECT_EQ(tick(), "02 06 00 12 00 20 28 24") << "k+3";
    answer("02 06 00 12 00 20 28 24");
    EXPECT_EQ(tick(), kPoll) << "k+4";
    EXPECT_EQ(events(), (std::vector{keyword("squeezed"), keyword("powered")}));
    EXPECT_EQ(tick(), kPoll) << "the deferred command fires once";
    EXPECT_EQ(events(), std::vector{keyword("paralyzed")});
}

TEST_F(ControlLink, LatestCommandReplacesThePendingOne) {
    answer(kSqueezed);
    link.handle_command("status_clear", {});
    link.handle_command("status_allpass", {});
    EXPECT_EQ(tick(), hex_of(status_write(0x0030)));
    EXPECT_EQ(tick(), kPoll);
}

TEST_F(ControlLink, PowerAndLampWithinOneTickAreBothWrittenPowerFirst) {
    answer(kSqueezed);
    link.handle_command("powering_down", {});
    link.handle_command("status_allpass", {});
    EXPECT_EQ(tick(), kPowerOff) << "the board is switched off before the lamp";
    EXPECT_EQ(tick(), hex_of(status_write(0x0030)));
    EXPECT_EQ(tick(), kPoll);

    link.handle_command("status_fail", {});
    link.handle_command("powering_up_1", {});
    EXPECT_EQ(tick(), kPowerOff) << "a power-up does not drop a waiting lamp";
    EXPECT_EQ(tick(), hex_of(status_write(0x0070))) << "from the all-pass value written last";
    EXPECT_EQ(tick(), kPoll) << "the countdown waited for the lamp";
    EXPECT_EQ(tick(), kPoll);
    EXPECT_EQ(tick(), "02 06 00 12 00 20 28 24");
}

TEST_F(ControlLink, StatusKeywordsBuildOnePendingValue) {
    answer("01 03 02 00 70 B9 A0");
    link.handle_command("pressurize", {});
    EXPECT_EQ(tick(), hex_of(status_write(0x00F0)));
    EXPECT_EQ(events(), std::vector{keyword("squeezed")});
    answer("01 06 00 12 00 F0 29 F3");
    link.handle_command("status_clear", {});
    EXPECT_EQ(tick(), hex_of(status_write(0x0090))) << "from the value just written";
    EXPECT_EQ(events(), std::vector{diagnostic("frame data error")}) << "unit-1 echo";

    answer("01 03 02 00 10 B9 88");
    EXPECT_EQ(tick(), kPoll);
    link.handle_command("pressurize", {});
    link.handle_command("status_clear", {});
    EXPECT_EQ(tick(), hex_of(status_write(0x0090)))
        << "clamp then test within a tick: the pressurize is kept, from the newer poll";
    EXPECT_EQ(tick(), kPoll);
}

TEST_F(ControlLink, PowerDownDuringDeferralCancelsThePowerUp) {
    link.handle_command("powering_up_2", {});
    EXPECT_EQ(tick(), kPowerOff);
    EXPECT_EQ(tick(), kPoll); // 3 to 2
    link.handle_command("powering_down", {});
    EXPECT_EQ(tick(), kPowerOff);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tick(), kPoll) << "no board is powered during the new test";
    }
}

TEST_F(ControlLink, SecondPowerUpReplacesAndRestartsTheCountdown) {
    link.handle_command("powering_up_0", {});
    EXPECT_EQ(tick(), kPowerOff);
    EXPECT_EQ(tick(), kPoll);
    link.handle_command("powering_up_3", {});
    EXPECT_EQ(tick(), kPowerOff);
    EXPECT_EQ(tick(), kPoll);
    EXPECT_EQ(tick(), kPoll);
    EXPECT_EQ(tick(), "02 06 00 12 00 80 28 5C");
    EXPECT_EQ(tick(), kPoll);
}

TEST_F(ControlLink, OtherTextsAreIgnored) {
    for (const char* text : {"powering_up_12", "qel_start", "status_", "squeezed"}) {
        link.handle_command(text, {});
        EXPECT_EQ(tick(), kPoll) << text;
    }
    EXPECT_EQ(bus.take().size(), 4u) << "one paralyzed per tick, nothing else";
}

TEST_F(ControlLink, ClosedPortAnswersAndQueuesNothing) {
    port.open = false;
    port.port_number = 7;
    link.handle_command("pressurize", {});
    link.handle_command("powering_up_1", {});
    link.handle_command("qel_start", {});
    EXPECT_EQ(bus.take(), (std::vector{keyword("Port closed 7"), keyword("Port closed 7")}));
    port.open = true;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tick(), kPoll);
    }
}

TEST_F(ControlLink, FortyBytesInOneTick) {
    std::vector<std::uint8_t> burst(40);
    for (std::size_t i = 0; i < burst.size(); ++i) {
        burst[i] = static_cast<std::uint8_t>(i);
    }
    link.dispatch_bytes(burst.data(), burst.size());
    tick();
    auto posts = bus.take();
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[0].type, 0x10000400u);
    EXPECT_EQ(posts[0].bytes, std::string(burst.begin(), burst.begin() + 31));
    EXPECT_EQ(posts[1], diagnostic("received unknow size."));
}

TEST_F(ControlLink, ReplyArrivingDuringTheWriteIsKept) {
    // A board that answers before the write call returns.
    port.on_write = [this] { answer(kSqueezed); };
    tick();
    port.on_write = nullptr;
    EXPECT_EQ(events(), std::vector{keyword("paralyzed")});
    tick();
    EXPECT_EQ(events(), std::vector{keyword("squeezed")});
}

TEST_F(ControlLink, TrafficCounters) {
    answer(kSlack);
    answer("01");
    link.handle_command("status_fail", {});
    tick();
    tick();
    const auto& t = link.traffic();
    EXPECT_EQ(t.rx, 8u);
    EXPECT_EQ(t.rf, 2u);
    EXPECT_EQ(t.tx, 24u) << "three frames of 8 bytes, start-up poll included";
    EXPECT_EQ(t.tf, 3u);
}

TEST(LinkMapping, ModeOneIsTheControlBoardAnyOtherTheTester) {
    recording_port port;
    recording_bus bus;
    auto control = make_link_mapping(1, port, bus);
    control->tick();
    EXPECT_EQ(hex_of(port.take().at(0)), kPoll);
    for (int mode : {0, 5, -1}) {
        auto tester = make_link_mapping(mode, port, bus);
        tester->handle_command("qel_start", link_time{0});
        EXPECT_EQ(tester->wake_at(), link_time{1000}) << "mode " << mode;
    }
}

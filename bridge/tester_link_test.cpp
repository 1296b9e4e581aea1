#include "link_test_doubles.h"
#include "tester_link.h"

#include <gtest/gtest.h>

using namespace bridge;
using namespace bridge::testing;
using namespace std::chrono_literals;

namespace {

class TesterLink : public ::testing::Test {
protected:
    // The start commands written when the shell wakes the link at `now`.
    int starts_at(link_time now) {
        link.wake(now);
        int starts = 0;
        for (auto& block : port.take()) {
            EXPECT_EQ(std::string(block.begin(), block.end()), "cmdst()\r");
            ++starts;
        }
        return starts;
    }
    void feed(const std::string& text) {
        link.dispatch_bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }

    recording_port port;
    recording_bus bus;
    tester_link link{port, bus};
};

} // namespace

TEST_F(TesterLink, StartCommandGoesOutOneSecondAfterTheKeyword) {
    link.handle_command("qel_start", 5000ms);
    EXPECT_EQ(link.wake_at(), 6000ms);
    EXPECT_EQ(starts_at(5999ms), 0);
    EXPECT_EQ(link.tester_watch(), 0);
    EXPECT_EQ(starts_at(6000ms), 1);
    EXPECT_EQ(link.tester_watch(), 20);
    EXPECT_FALSE(link.wake_at());
    EXPECT_EQ(link.traffic().tx, 8u);
    EXPECT_EQ(link.traffic().tf, 1u);
}

TEST_F(TesterLink, TwoStartsGoOutASecondApartAndRestartTheWatch) {
    link.handle_command("qel_start", 0ms);
    link.handle_command("qel_start", 300ms);
    EXPECT_EQ(starts_at(1000ms), 1);
    link.tick();
    link.tick();
    EXPECT_EQ(link.tester_watch(), 18);
    EXPECT_EQ(link.wake_at(), 2000ms) << "the second waits its own second after the first";
    EXPECT_EQ(starts_at(2000ms), 1);
    EXPECT_EQ(link.tester_watch(), 20);
}

TEST_F(TesterLink, LateWakeSendsEverythingDue) {
    link.handle_command("qel_start", 0ms);
    link.handle_command("qel_start", 0ms);
    EXPECT_EQ(starts_at(5000ms), 2);
}

TEST_F(TesterLink, OnlyQelStartCountsAndAClosedPortAnswers) {
    for (const char* text : {"pressurize", "powering_up_1", "qel_start ", "QEL_START"}) {
        link.handle_command(text, 0ms);
    }
    EXPECT_FALSE(link.wake_at());
    port.open = false;
    port.port_number = 12;
    link.handle_command("qel_start", 0ms);
    EXPECT_EQ(bus.take(), std::vector{keyword("Port closed 12")});
    EXPECT_FALSE(link.wake_at());
    EXPECT_EQ(starts_at(10000ms), 0);
}

TEST_F(TesterLink, WatchRunsOutAfterTwentyTicksOnce) {
    link.handle_command("qel_start", 0ms);
    starts_at(1000ms);
    for (int i = 0; i < 19; ++i) {
        link.tick();
    }
    EXPECT_TRUE(bus.take().empty());
    link.tick();
    EXPECT_EQ(bus.take(), std::vector{keyword("qel_paralyzed")});
    for (int i = 0; i < 30; ++i) {
        link.tick();
    }
    EXPECT_TRUE(bus.take().empty());
}

TEST_F(TesterLink, EndMarkerAtTickNineteenCancelsTheWatch) {
    link.handle_command("qel_start", 0ms);
    starts_at(1000ms);
    for (int i = 0; i < 19; ++i) {
        link.tick();
    }
    feed("{show:1/R1/x/1/2/0/a/V/b}\r\n{clear");
    feed("//}\r\n");
    for (int i = 0; i < 5; ++i) {
        link.tick();
    }
    EXPECT_EQ(bus.take(), (std::vector{keyword("{show:1/R1/x/1/2/0/a/V/b}"), keyword("{clear//}"),
                                       keyword("qel_end")}));
    EXPECT_EQ(link.traffic().rx, 38u);
    EXPECT_EQ(link.traffic().rf, 2u);
}

TEST_F(TesterLink, WatchRunningOutWhileTheEndIsPostedStaysQuiet) {
    link.handle_command("qel_start", 0ms);
    starts_at(1000ms);
    for (int i = 0; i < 19; ++i) {
        link.tick();
    }
    // The UI thread's last tick comes while the reader thread posts the run's end.
    bus.on_post = [this](std::string_view text) {
        if (text == "qel_end") {
            link.tick();
        }
    };
    feed("{clear//}\n");
    EXPECT_EQ(bus.take(), (std::vector{keyword("{clear//}"), keyword("qel_end")}));
}

// A tester that answers at once: the reader thread sees the end before the write returns.
TEST_F(TesterLink, EndReadDuringTheStartWriteLeavesNoWatchRunning) {
    link.handle_command("qel_start", 0ms);
    port.on_write = [this] { feed("{clear//}\r\n"); };
    starts_at(1000ms);
    for (int i = 0; i < 25; ++i) {
        link.tick();
    }
    EXPECT_EQ(bus.take(), (std::vector{keyword("{clear//}"), keyword("qel_end")}));
}

TEST_F(TesterLink, OnlyTheExactMarkerWithinTheKeptBytesEndsTheRun) {
    link.handle_command("qel_start", 0ms);
    starts_at(1000ms);
    feed("{clear/}\n{CLEAR//}\n" + std::string(2047, '-') + "{clear//}\n");
    auto posts = bus.take();
    ASSERT_EQ(posts.size(), 3u);
    EXPECT_EQ(posts[1], keyword("{CLEAR//}"));
    EXPECT_EQ(posts[2].bytes, std::string(2047, '-')) << "the marker past the cut is not seen";
    EXPECT_EQ(link.tester_watch(), 20);
}

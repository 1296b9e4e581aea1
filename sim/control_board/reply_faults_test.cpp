// The control board's reply faults: what each does to the bytes on the line and when.
// Expected CRCs were worked out apart from the simulator's own CRC code.
#include "command_text.h"
#include "reply_faults.h"
#include "unit_server.h"
#include "write_queue.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

sim::frame frame_of(const char* hex) {
    return *sim::bytes_of_hex(hex);
}

const sim::frame kPoll = frame_of("01 03 00 12 00 01 24 0F");

// Each write as "<kind>@<ms> <hex>".
std::vector<std::string> shown(const std::vector<sim::line_write>& writes) {
    static const char* const kinds[] = {"echo", "reply", "noise", "dropped"};
    std::vector<std::string> out;
    for (const auto& w : writes) {
        out.push_back(std::string(kinds[w.kind]) + "@" + std::to_string(w.after.count()) + " " +
                      sim::hex_of(w.bytes));
    }
    return out;
}

} // namespace

TEST(ReplyFaults, ShapeTheBytesOnTheLine) {
    sim::reply_faults faults;
    int served = 0;
    auto serve = [&](const sim::frame&) {
        ++served;
        return frame_of("01 03 02 00 00 B8 44");
    };
    auto next = [&] { return shown(faults.answer(kPoll, serve)); };
    using v = std::vector<std::string>;

    for (const char* bad : {"crc -1", "crc", "delay 5x", "echo 2", "wrong way", "drop 1 2"}) {
        EXPECT_FALSE(faults.take(bad)) << bad;
    }
    EXPECT_EQ(next(), v{"reply@0 01 03 02 00 00 B8 44"}) << "malformed commands change nothing";

    ASSERT_EQ(faults.take("crc 1"), "fault crc 1");
    EXPECT_EQ(next(), v{"reply@0 01 03 02 00 00 E2 1E"});
    faults.take("wrong unit");
    EXPECT_EQ(next(), v{"reply@0 03 03 02 00 00 C1 84"}) << "valid CRC for the new unit";
    faults.take("wrong function");
    EXPECT_EQ(next(), v{"reply@0 01 04 02 00 00 B9 30"});
    EXPECT_EQ(next(), v{"reply@0 01 03 02 00 00 B8 44"}) << "one-shot faults are spent";

    faults.take("echo 1");
    faults.take("split 20");
    faults.take("delay 300");
    EXPECT_EQ(next(),
              (v{"echo@0 01 03 00 12 00 01 24 0F", "reply@300 01 03 02", "reply@320 00 00 B8 44"}));
    faults.take("delay 0");
    faults.take("split 0");
    faults.take("drop 1");
    served = 0;
    EXPECT_EQ(next(), (v{"echo@0 01 03 00 12 00 01 24 0F", "dropped@0 01 03 02 00 00 B8 44"}));
    EXPECT_EQ(served, 1) << "a dropped reply's request is still carried out";

    faults.take("echo 0");
    faults.take("noise 6");
    auto writes = faults.answer(kPoll, serve);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1].kind, sim::line_write::noise);
    EXPECT_EQ(writes[1].bytes.size(), 6u);
    EXPECT_EQ(next(), v{"reply@0 01 03 02 00 00 B8 44"});
}

TEST(ReplyFaults, ExceptionsComeFromLibmodbusAndChangeNothing) {
    sim::unit_server units;
    sim::reply_faults faults;
    auto serve = [&](const sim::frame& request) { return units.handle(request); };
    auto reply_to = [&](const char* request) {
        auto writes = faults.answer(frame_of(request), serve);
        return writes.empty() ? "" : sim::hex_of(writes.back().bytes);
    };
    ASSERT_EQ(faults.take("exception 2"), "fault exception 2");
    EXPECT_EQ(reply_to("01 03 00 12 00 01 24 0F"), "01 83 02 C0 F1");
    EXPECT_EQ(reply_to("02 06 00 12 00 30 29 E8"), "02 86 02 33 A1");
    EXPECT_EQ(units.power(), 0) << "the refused write changed no register";
    EXPECT_EQ(reply_to("02 06 00 12 00 30 29 E8"), "02 06 00 12 00 30 29 E8");
    EXPECT_EQ(units.power(), 0x30);
}

TEST(WriteQueue, RepliesKeepTheOrderOfTheirRequests) {
    sim::reply_faults faults;
    sim::write_queue queue;
    auto identity = [](const sim::frame& request) { return request; };
    auto t0 = std::chrono::steady_clock::time_point{} + 1h;
    auto at = [&](std::chrono::milliseconds ms, const char* request) {
        queue.add(t0 + ms, faults.answer(frame_of(request), identity));
    };
    auto due = [&](std::chrono::milliseconds ms) { return shown(queue.take_due(t0 + ms)); };
    using v = std::vector<std::string>;

    faults.take("delay 600");
    at(0ms, "01 03 00 12 00 01 24 0F");
    at(250ms, "02 06 00 12 00 30 29 E8");
    faults.take("delay 0");
    faults.take("echo 1");
    at(500ms, "01 06 00 12 00 80 28 6F");
    EXPECT_EQ(due(500ms), v{"echo@0 01 06 00 12 00 80 28 6F"}) << "an echo waits for nothing";
    EXPECT_EQ(queue.wait_ms(t0 + 500ms), 100);
    EXPECT_EQ(due(600ms), v{"reply@600 01 03 00 12 00 01 24 0F"});
    EXPECT_EQ(due(849ms), v{});
    auto last = queue.take_due(t0 + 850ms);
    EXPECT_EQ(shown(last),
              (v{"reply@600 02 06 00 12 00 30 29 E8", "reply@0 01 06 00 12 00 80 28 6F"}))
        << "the undelayed reply waits for the delayed one before it";
    EXPECT_EQ(last.back().fault, "held 350 ms behind an earlier reply") << "and the log says so";
    EXPECT_EQ(queue.wait_ms(t0 + 850ms), -1);
}

#include "link_session.h"
#include "link_test_doubles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace bridge;
using namespace bridge::testing;
using namespace std::chrono_literals;

namespace {

std::string narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

// Records every request of the session as one line, in order.
class recording_shell : public link_shell {
public:
    void add_tray_icon(int id, std::u16string_view tip) override {
        log("tray add " + std::to_string(id) + " " + narrow(tip));
    }
    void delete_tray_icon(int id) override { log("tray delete " + std::to_string(id)); }
    void make_tool_window() override { log("tool window"); }
    void make_topmost() override { log("topmost"); }
    void set_window_icons() override { log("icons"); }
    void set_title(std::u16string_view title) override { log("title " + narrow(title)); }
    void set_mode_text(std::u16string_view text) override { log("mode " + narrow(text)); }
    void set_status_text(std::u16string_view text) override { status = narrow(text); }
    void show_message(std::u16string_view text) override { log("message " + narrow(text)); }
    void start_timer(int id, unsigned ms) override {
        log("timer " + std::to_string(id) + " " + std::to_string(ms));
    }
    void kill_timer(int id) override { log("kill " + std::to_string(id)); }
    link_time now() const override { return clock; }
    bool bus_load() override {
        log("bus load");
        return bus_present;
    }
    void bus_register(std::uint32_t mask, const char* name) override {
        log("bus register " + std::to_string(mask) + " " + name);
    }
    void bus_set_text(const char* name, const char* value) override {
        log(std::string("bus set ") + name + "=" + value);
    }
    void bus_unregister() override { log("bus unregister"); }
    void bus_unload() override { log("bus unload"); }
    std::optional<std::string> bus_fetch(std::uint32_t handle) override {
        log("bus fetch " + std::to_string(handle));
        return payload;
    }

    void log(const std::string& line) { calls.push_back(line); }
    std::vector<std::string> take() { return std::exchange(calls, {}); }

    bool bus_present = true;
    link_time clock{0};
    std::optional<std::string> payload;
    std::string status = "(never set)";

private:
    std::vector<std::string> calls;
};

// A port that opens when told to, and logs into the shell's record.
class recording_channel : public serial_channel {
public:
    explicit recording_channel(recording_shell& shell) : shell(shell) {}
    bool connected() const override { return is_open; }
    int number() const override { return port_number; }
    bool write_bytes(const std::uint8_t* bytes, std::size_t count) override {
        writes.push_back(hex_of(std::vector<std::uint8_t>(bytes, bytes + count)));
        return is_open;
    }
    void set_baud_rate(std::uint32_t baud) override { shell.log("baud " + std::to_string(baud)); }
    bool open_port(int number) override {
        shell.log("open " + std::to_string(number));
        port_number = number;
        is_open = port_present;
        return is_open;
    }
    bool start_reader(byte_sink& target) override {
        shell.log("reader");
        reader = &target;
        return reader_starts;
    }
    void close_port() override {
        shell.log("close");
        is_open = false;
        gone = false;
    }
    bool lost() const override { return gone; }

    bool port_present = true;
    bool reader_starts = true;
    bool is_open = false;
    bool gone = false;
    int port_number = 0;
    byte_sink* reader = nullptr;
    std::vector<std::string> writes;

private:
    recording_shell& shell;
};

class LinkSession : public ::testing::Test {
protected:
    // A session for "qel_link.exe <port> <mode>", created and initialised.
    link_session& start(int port, int mode) {
        session = std::make_unique<link_session>(link_arguments{port, mode}, shell, channel, bus);
        session->on_create();
        session->on_init_dialog();
        return *session;
    }
    // Ticks until the port is open and the reader runs.
    void open_channel() {
        session->on_timer(link_session::kTickTimer);
        ASSERT_NE(channel.reader, nullptr);
        shell.take();
    }
    // The adapter is pulled: one tick closes the port and cannot open it again.
    void lose_port() {
        channel.gone = true;
        channel.port_present = false;
        session->on_timer(link_session::kTickTimer);
    }
    // The adapter is back: one tick opens the port; what went before is forgotten.
    void reopen_port() {
        channel.port_present = true;
        session->on_timer(link_session::kTickTimer);
        ASSERT_TRUE(channel.connected());
        bus.take();
        channel.writes.clear();
    }
    void deliver(std::uint32_t type, const std::string& text) {
        shell.payload = text;
        session->on_bus_event(type, 77);
    }

    recording_shell shell;
    recording_channel channel{shell};
    recording_bus bus;
    std::unique_ptr<link_session> session;
};

} // namespace

TEST_F(LinkSession, ControlBoardStartUp) {
    start(3, 1);
    EXPECT_EQ(shell.take(),
              (std::vector<std::string>{"tray add 133 qel_link_3_1", "tool window", "topmost",
                                        "icons", "bus load", "bus register 512 qel_link",
                                        "bus set ver_qel_link=0.1.21 2025-05-21", "baud 19200",
                                        "timer 1 250", "title qel_link_com3",
                                        "mode MODE-1 qel_link 0.1.21 2025-05-21"}));
}

TEST_F(LinkSession, OtherModesAreTheTesterWithoutTheBus) {
    shell.bus_present = false;
    start(1, 5);
    EXPECT_EQ(shell.take(),
              (std::vector<std::string>{"tray add 128 qel_link_1_5", "tool window", "topmost",
                                        "icons", "bus load", "message Load dll failure!",
                                        "bus set ver_qel_link=0.1.21 2025-05-21", "baud 115200",
                                        "timer 1 1000", "title qel_link_com1",
                                        "mode MODE-5 qel_link 0.1.21 2025-05-21"}));
}

TEST_F(LinkSession, PortRetriedEveryTickAndTheStepRunsATickAfterTheOpen) {
    start(5, 1);
    shell.take();
    channel.port_present = false;
    session->on_timer(link_session::kTickTimer);
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"open 5", "open 5"}));
    EXPECT_EQ(shell.status, "");
    channel.port_present = true;
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"open 5", "reader"}));
    EXPECT_TRUE(channel.writes.empty()) << "no request in the tick that opened the port";
    EXPECT_EQ(shell.status, "");
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(channel.writes, std::vector<std::string>{"01 03 00 12 00 01 24 0F"});
    EXPECT_EQ(shell.status, "COM5 RX=0 TX=0 RF=0 TF=0") << "shown before the step";
    std::uint8_t reply[] = {0x01, 0x03, 0x02, 0x00, 0x10, 0xB9, 0x88};
    channel.reader->dispatch_bytes(reply, sizeof reply);
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(shell.status, "COM5 RX=7 TX=8 RF=1 TF=1");
    EXPECT_EQ(bus.take().back(), keyword("squeezed"));
    EXPECT_TRUE(shell.take().empty()) << "an open port is not opened again";
}

TEST_F(LinkSession, PortWhoseReaderCannotStartIsClosedAndRetried) {
    start(5, 1);
    shell.take();
    channel.port_present = false;
    session->on_timer(link_session::kTickTimer);
    shell.take();
    channel.port_present = true;
    channel.reader_starts = false;
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"open 5", "reader", "close"}));
    channel.reader_starts = true;
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"open 5", "reader"}));
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(channel.writes, std::vector<std::string>{"01 03 00 12 00 01 24 0F"});
}

TEST_F(LinkSession, LostPortIsClosedReportedAsSilenceAndReopened) {
    start(5, 1);
    open_channel();
    channel.gone = true;
    channel.port_present = false;
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"close", "open 5"}));
    EXPECT_EQ(shell.status, "COM5 lost, retrying");
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(bus.take(), (std::vector{keyword("paralyzed"), keyword("paralyzed")}))
        << "as a silent board, every tick";
    deliver(0x200002FF, "pressurize");
    EXPECT_EQ(bus.take(), std::vector{keyword("Port closed 5")});
    shell.take();

    channel.port_present = true;
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"open 5", "reader"}));
    EXPECT_TRUE(bus.take().empty());
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(shell.status.substr(0, 8), "COM5 RX=");
    EXPECT_EQ(channel.writes.back(), "01 03 00 12 00 01 24 0F") << "polling goes on by itself";
}

// The port of a board that is powering up is lost for a while: of what the board was
// told before the loss, only the power-off still waiting reaches it after the reopen.
TEST_F(LinkSession, OnlyAPowerOffQueuedBeforeTheLossIsSentAfterIt) {
    start(5, 1);
    open_channel();
    deliver(0x200002FF, "powering_up_2");
    deliver(0x200002FF, "pressurize");
    lose_port();
    deliver(0x200002FF, "powering_down");
    EXPECT_EQ(bus.take().back(), keyword("Port closed 5"));
    reopen_port();
    for (int i = 0; i < 6; ++i) {
        session->on_timer(link_session::kTickTimer);
    }
    std::vector<std::string> expected(6, "01 03 00 12 00 01 24 0F");
    expected[0] = "02 06 00 12 00 00 29 FC";
    EXPECT_EQ(channel.writes, expected) << "no press or power-up from before the loss";
}

TEST_F(LinkSession, NoReplyFromBeforeTheLossIsReportedAfterIt) {
    start(5, 1);
    open_channel();
    session->on_timer(link_session::kTickTimer);
    std::uint8_t power_echo[] = {0x02, 0x06, 0x00, 0x12, 0x00, 0x20, 0x28, 0x24};
    channel.reader->dispatch_bytes(power_echo, sizeof power_echo);
    lose_port();
    reopen_port();
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(bus.take(), std::vector{keyword("paralyzed")});
}

TEST_F(LinkSession, TesterWatchRunsOutWhileThePortIsLost) {
    start(3, 0);
    open_channel();
    deliver(0x200002FF, "qel_start");
    shell.clock = 1000ms;
    session->on_timer(link_session::kWakeTimer);
    channel.gone = true;
    channel.port_present = false;
    for (int i = 0; i < 20; ++i) {
        session->on_timer(link_session::kTickTimer);
    }
    EXPECT_EQ(bus.take(), std::vector{keyword("qel_paralyzed")});
}

TEST_F(LinkSession, TrayIconComesBackWhenTheTaskbarDoes) {
    start(3, 0);
    shell.take();
    session->on_taskbar_created();
    EXPECT_EQ(shell.take(), std::vector<std::string>{"tray add 134 qel_link_3_0"});
}

TEST_F(LinkSession, OnlyControllerKeywordsAreFetchedAndHandled) {
    start(5, 1);
    open_channel();
    for (std::uint32_t type : {0x100002FFu, 0x200002FBu, 0x20000400u, 0x400002FFu}) {
        deliver(type, "pressurize");
    }
    EXPECT_TRUE(shell.take().empty()) << "not fetched";
    deliver(0x300002FF, "pressurize");
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"bus fetch 77", "kill 2"}));
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(channel.writes.back(), "01 06 00 12 00 80 28 6F");
    shell.payload.reset();
    session->on_bus_event(0x200002FF, 78);
    session->on_timer(link_session::kTickTimer);
    EXPECT_EQ(channel.writes.back(), "01 03 00 12 00 01 24 0F") << "no payload, no command";
}

TEST_F(LinkSession, StartCommandWaitsOnTheOneShotTimer) {
    start(3, 0);
    open_channel();
    shell.clock = 10000ms;
    deliver(0x200002FF, "qel_start");
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"bus fetch 77", "timer 2 1000"}));
    shell.clock = 10990ms;
    session->on_timer(link_session::kWakeTimer);
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"kill 2", "timer 2 10"}))
        << "an early timer waits for the rest";
    EXPECT_TRUE(channel.writes.empty());
    shell.clock = 11000ms;
    session->on_timer(link_session::kWakeTimer);
    EXPECT_EQ(channel.writes, std::vector<std::string>{"63 6D 64 73 74 28 29 0D"});
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"kill 2", "kill 2"}));
    deliver(0x200002FF, "pressurize");
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"bus fetch 77", "kill 2"}));
}

TEST_F(LinkSession, DestroyLeavesTheBusThenTheTrayThenTheTimerThenThePort) {
    start(3, 0);
    open_channel();
    session->on_destroy();
    EXPECT_EQ(shell.take(),
              (std::vector<std::string>{"bus unregister", "bus unload", "tray delete 134", "kill 1",
                                        "kill 2", "close"}));
}

TEST_F(LinkSession, EndSessionStopsTheTimerAndThePortBeforeLeavingTheBus) {
    start(5, 1);
    open_channel();
    session->on_end_session();
    EXPECT_EQ(shell.take(), (std::vector<std::string>{"kill 1", "kill 2", "close", "bus unregister",
                                                      "bus unload"}))
        << "the tray icon stays";
}

TEST_F(LinkSession, NoPostReachesTheBusOnceItIsUnloaded) {
    start(3, 0);
    open_channel();
    session->on_destroy();
    std::string line = "PASS\r\n";
    channel.reader->dispatch_bytes(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
    EXPECT_TRUE(bus.take().empty());
}

// Spins until the condition holds; false after ten seconds.
template <typename Condition> bool within_ten_seconds(Condition condition) {
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

TEST(BusGate, ShutWaitsForAPostInProgressAndDropsLaterOnes) {
    recording_bus bus;
    bus_gate gate(bus);
    std::atomic<bool> stop{false};
    std::atomic<int> attempts{0};
    std::thread reader([&] {
        while (!stop) {
            gate.post(0x100002FF, "line");
            ++attempts;
        }
    });
    bool started = within_ten_seconds([&] { return attempts >= 100; });
    gate.shut();
    std::size_t at_shut = bus.take().size();
    int attempts_at_shut = attempts;
    bool went_on = within_ten_seconds([&] { return attempts >= attempts_at_shut + 100; });
    stop = true;
    reader.join();
    ASSERT_TRUE(started) << "the posting thread never made 100 posts";
    ASSERT_TRUE(went_on) << "the posting thread stopped after the gate shut";
    EXPECT_GT(at_shut, 0u);
    EXPECT_TRUE(bus.take().empty()) << "a post got through after shut returned";
}

#include "command_line.h"
#include "link_identity.h"

#include <gtest/gtest.h>

using namespace bridge;

namespace {

std::pair<int, int> parsed(std::u16string_view line) {
    auto args = parse_command_line(line);
    return {args.port_number, args.mode};
}

} // namespace

TEST(CommandLine, PortThenModeAfterTheLastTwoBlanks) {
    EXPECT_EQ(parsed(u"\"C:\\station\\qel_link.exe\" 3 1"), std::pair(3, 1));
    EXPECT_EQ(parsed(u"qel_link.exe 12 0"), std::pair(12, 0));
    EXPECT_EQ(parsed(u"\"C:\\Program Files\\qel_link.exe\" 7 1"), std::pair(7, 1))
        << "blanks in the path do not matter";
}

TEST(CommandLine, MissingOrBadPortBecomesOne) {
    EXPECT_EQ(parsed(u"qel_link.exe 5"), std::pair(1, 5)) << "a single argument is the mode";
    EXPECT_EQ(parsed(u"qel_link.exe"), std::pair(1, 0)) << "no blank: mode 0";
    EXPECT_EQ(parsed(u"qel_link.exe 0 1"), std::pair(1, 1));
    EXPECT_EQ(parsed(u"qel_link.exe -4 1"), std::pair(1, 1));
    EXPECT_EQ(parsed(u"qel_link.exe COM3 x"), std::pair(1, 0)) << "not numbers read as 0";
    EXPECT_EQ(parsed(u"qel_link.exe 3 1 "), std::pair(1, 0)) << "a trailing blank ends it";
    EXPECT_EQ(parsed(u" 1"), std::pair(1, 1));
}

TEST(CommandLine, NumbersReadLikeDecimalPrefixes) {
    EXPECT_EQ(parsed(u"q 4x 1y"), std::pair(4, 1));
    EXPECT_EQ(parsed(u"q +8 -1"), std::pair(8, -1));
    EXPECT_EQ(parsed(u"q 99999999999999999999 2"), std::pair(2147483647, 2)) << "saturates";
    EXPECT_EQ(parsed(u"q 3 -99999999999999999999"), std::pair(3, -2147483647 - 1));
}

TEST(LinkIdentity, TextsOfThePortAndMode) {
    EXPECT_EQ(window_title(3), u"qel_link_com3");
    EXPECT_EQ(already_running_text(3), u"qel_link_com3 already running");
    EXPECT_EQ(tray_tip(5, 1), u"qel_link_5_1");
    EXPECT_EQ(tray_tip(-2147483647 - 1, -2147483647 - 1).size(), 31u) << "fits the tip field";
    EXPECT_EQ(mode_text(1), u"MODE-1 qel_link 0.1.21 2025-05-21");
    EXPECT_EQ(version_text(), "0.1.21 2025-05-21");
    traffic_counters traffic;
    traffic.rx = 0xFFFFFFFF;
    traffic.tx = 16;
    traffic.tf = 2;
    EXPECT_EQ(status_text(4, traffic), u"COM4 RX=-1 TX=16 RF=0 TF=2");
}

TEST(LinkIdentity, EachModeItsIconSpeedAndPeriod) {
    EXPECT_EQ(tray_icon_for(0), 134);
    EXPECT_EQ(tray_icon_for(1), 133);
    EXPECT_EQ(tray_icon_for(5), 128);
    EXPECT_EQ(baud_rate_for(1), 19200u);
    EXPECT_EQ(baud_rate_for(5), 115200u);
    EXPECT_EQ(tick_period_ms(1), 250u);
    EXPECT_EQ(tick_period_ms(0), 1000u);
}

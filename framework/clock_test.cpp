#include "clock.h"

#include <ctime>
#include <gtest/gtest.h>

namespace framework {
namespace {

TEST(PlatformClock, GivesTheLocalTimeBetweenTwoReadingsOfTheSystemClock) {
    const std::time_t before = std::time(nullptr);
    const LocalTime now = PlatformClock().Now();
    const std::time_t after = std::time(nullptr);

    std::tm fields{};
    fields.tm_year = now.year - 1900;
    fields.tm_mon = now.month - 1;
    fields.tm_mday = now.day;
    fields.tm_hour = now.hour;
    fields.tm_min = now.minute;
    fields.tm_sec = now.second;
    fields.tm_isdst = -1;
    const std::time_t back = std::mktime(&fields);
    EXPECT_GE(back, before);
    EXPECT_LE(back, after);
    EXPECT_EQ(fields.tm_wday, now.dayOfWeek);
    EXPECT_LT(now.milliseconds, 1000);
}

} // namespace
} // namespace framework

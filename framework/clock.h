#pragma once
// Local date and time, field by field as the system clock gives them.
#include <cstdint>

namespace framework {

struct LocalTime {
    uint16_t year = 0;      // in full, e.g. 2025
    uint16_t month = 0;     // 1 to 12
    uint16_t dayOfWeek = 0; // 0 Sunday to 6 Saturday
    uint16_t day = 0;       // 1 to 31
    uint16_t hour = 0;      // 0 to 23
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
};

// The computer's local time.
Clock& PlatformClock();

} // namespace framework

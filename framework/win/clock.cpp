#include "clock.h"

#include <windows.h>

namespace framework {
namespace {

class WinClock : public Clock {
public:
    LocalTime Now() override {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return LocalTime{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                         now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
    }
};

} // namespace

Clock& PlatformClock() {
    static WinClock clock;
    return clock;
}

} // namespace framework

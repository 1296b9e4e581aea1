#include "stamp.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace sim {

std::string stamp() {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms.count()));
    return text;
}

void say(const std::string& text) {
    std::printf("%s %s\n", stamp().c_str(), text.c_str());
    std::fflush(stdout);
}

} // namespace sim

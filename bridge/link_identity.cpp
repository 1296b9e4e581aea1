#include "link_identity.h"

#include <cstdio>

namespace bridge {

namespace {

template <typename... Args> std::u16string format(const char* pattern, Args... args) {
    char text[96];
    int length = std::snprintf(text, sizeof text, pattern, args...);
    if (length < 0) {
        return {};
    }
    std::string_view ascii(text, static_cast<std::size_t>(length) < sizeof text
                                     ? static_cast<std::size_t>(length)
                                     : sizeof text - 1);
    return std::u16string(ascii.begin(), ascii.end());
}

// The counters are shown as the signed 32-bit numbers the status line has always shown.
long shown(const std::atomic<std::uint32_t>& counter) {
    return static_cast<std::int32_t>(counter.load());
}

} // namespace

std::u16string window_title(int port_number) {
    return format("qel_link_com%d", port_number);
}

std::u16string already_running_text(int port_number) {
    return window_title(port_number) + u" already running";
}

std::u16string tray_tip(int port_number, int mode) {
    constexpr std::size_t kTipLength = 31;
    return format("qel_link_%d_%d", port_number, mode).substr(0, kTipLength);
}

std::u16string mode_text(int mode) {
    return format("MODE-%d qel_link %s %s", mode, kVersion, kVersionDate);
}

std::u16string status_text(int port_number, const traffic_counters& traffic) {
    return format("COM%d RX=%ld TX=%ld RF=%ld TF=%ld", port_number, shown(traffic.rx),
                  shown(traffic.tx), shown(traffic.rf), shown(traffic.tf));
}

std::u16string lost_text(int port_number) {
    return format("COM%d lost, retrying", port_number);
}

std::string version_text() {
    return std::string(kVersion) + " " + kVersionDate;
}

} // namespace bridge

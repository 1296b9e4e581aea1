#pragma once
// The texts by which the bridge is known: window title, tray tip, mode and status lines,
// the version it publishes, and the tray icon and line speed of each mode.
#include "link_mapping.h"

#include <cstdint>
#include <string>

namespace bridge {

inline constexpr char kVersion[] = "0.1.21";
inline constexpr char kVersionDate[] = "2025-05-21";

// Resource ids of the three icons; the tray shows the one of the mode.
constexpr int kAppIcon = 128;
constexpr int kControlIcon = 133;
constexpr int kTesterIcon = 134;

constexpr bool is_control_mode(int mode) {
    return mode == 1;
}
constexpr int tray_icon_for(int mode) {
    return mode == 1 ? kControlIcon : mode == 0 ? kTesterIcon : kAppIcon;
}
constexpr std::uint32_t baud_rate_for(int mode) {
    return is_control_mode(mode) ? 19200 : 115200;
}
constexpr unsigned tick_period_ms(int mode) {
    return is_control_mode(mode) ? 250 : 1000;
}

// "qel_link_com%d": the title by which the controller finds a bridge.
std::u16string window_title(int port_number);
// The title followed by " already running".
std::u16string already_running_text(int port_number);
// "qel_link_%d_%d" with port and mode, at most 31 characters and a terminator.
std::u16string tray_tip(int port_number, int mode);
// "MODE-%d qel_link %s %s" with the mode, version and date.
std::u16string mode_text(int mode);
// "COM%d RX=%ld TX=%ld RF=%ld TF=%ld".
std::u16string status_text(int port_number, const traffic_counters& traffic);
// "COM%d lost, retrying": the port's device failed and is being reopened.
std::u16string lost_text(int port_number);
// The value of the bus string "ver_qel_link": version, one blank, date.
std::string version_text();

} // namespace bridge

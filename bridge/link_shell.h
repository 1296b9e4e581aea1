#pragma once
// What the bridge session asks of its window. The Windows dialog carries out each request
// at once on its UI thread and holds no decisions of its own; tests use a recording fake.
#include "link_ports.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bridge {

class link_shell {
public:
    virtual ~link_shell() = default;

    // The notification-area icon with the resource id given, its tip, and its removal.
    virtual void add_tray_icon(int icon_id, std::u16string_view tip) = 0;
    virtual void delete_tray_icon(int icon_id) = 0;
    // No taskbar button.
    virtual void make_tool_window() = 0;
    // Above other windows, neither moved nor sized.
    virtual void make_topmost() = 0;
    // The application icon as the window's big and small icon.
    virtual void set_window_icons() = 0;
    virtual void set_title(std::u16string_view title) = 0;
    virtual void set_mode_text(std::u16string_view text) = 0;
    virtual void set_status_text(std::u16string_view text) = 0;
    // A message box with an OK button.
    virtual void show_message(std::u16string_view text) = 0;

    // Window timers by id; starting a running one restarts it with the new period.
    virtual void start_timer(int id, unsigned period_ms) = 0;
    virtual void kill_timer(int id) = 0;
    // A monotonic clock.
    virtual link_time now() const = 0;

    // The bus binding (bus_load ... bus_fetch), with this window as the client.
    virtual bool bus_load() = 0;
    virtual void bus_register(std::uint32_t mask, const char* name) = 0;
    virtual void bus_set_text(const char* name, const char* value) = 0;
    virtual void bus_unregister() = 0;
    virtual void bus_unload() = 0;
    // The text of a post up to its first zero byte; nothing when it cannot be fetched.
    virtual std::optional<std::string> bus_fetch(std::uint32_t handle) = 0;
};

} // namespace bridge

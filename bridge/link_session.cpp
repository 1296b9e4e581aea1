#include "link_session.h"

#include "keywords.h"
#include "link_identity.h"
#include "type_word.h"

#include <algorithm>

namespace bridge {

namespace kw = bus::keyword;

link_session::link_session(link_arguments arguments, link_shell& shell, serial_channel& channel,
                           bus_sink& bus)
    : args(arguments), shell(shell), channel(channel), bus(bus),
      mapping(make_link_mapping(arguments.mode, channel, this->bus)) {}

void link_session::on_create() {
    on_taskbar_created();
    shell.make_tool_window();
}

void link_session::on_taskbar_created() {
    shell.add_tray_icon(tray_icon_for(args.mode), tray_tip(args.port_number, args.mode));
}

void link_session::on_init_dialog() {
    shell.make_topmost();
    shell.set_window_icons();
    if (shell.bus_load()) {
        shell.bus_register(bus::kKindString, kw::kClientBridge);
    } else {
        shell.show_message(u"Load dll failure!");
    }
    shell.bus_set_text(kw::kBridgeVersionName, version_text().c_str());
    channel.set_baud_rate(baud_rate_for(args.mode));
    shell.start_timer(kTickTimer, tick_period_ms(args.mode));
    shell.set_title(window_title(args.port_number));
    shell.set_mode_text(mode_text(args.mode));
}

void link_session::on_timer(int id) {
    if (id == kWakeTimer) {
        shell.kill_timer(kWakeTimer);
        mapping->wake(shell.now());
        schedule_wake();
        return;
    }
    tick();
}

void link_session::tick() {
    if (channel.connected() && channel.lost()) {
        // A pulled adapter: its handle never works again, so close it and open anew.
        channel.close_port();
        mapping->port_closed();
        port_lost = true;
    }
    bool open = channel.connected();
    shell.set_status_text(open        ? status_text(channel.number(), mapping->traffic())
                          : port_lost ? lost_text(args.port_number)
                                      : std::u16string{});
    if (open) {
        mapping->tick();
        return;
    }
    // Retried every tick until the port is there; the mode step starts a tick later.
    // A port without its reader would never hear the device: close it and retry.
    if (channel.open_port(args.port_number) && !channel.start_reader(*mapping)) {
        channel.close_port();
    }
    if (channel.connected()) {
        port_lost = false;
    } else if (port_lost) {
        mapping->tick_while_lost();
    }
}

void link_session::on_bus_event(std::uint32_t type, std::uint32_t handle) {
    if (!bus::bridge_accepts(type)) {
        return;
    }
    if (auto text = shell.bus_fetch(handle)) {
        mapping->handle_command(*text, shell.now());
        schedule_wake();
    }
}

// A start command waits for its moment on the one-shot timer instead of blocking the
// window for a second.
void link_session::schedule_wake() {
    auto due = mapping->wake_at();
    if (!due) {
        shell.kill_timer(kWakeTimer);
        return;
    }
    auto left = std::max(*due - shell.now(), link_time{0});
    shell.start_timer(kWakeTimer, static_cast<unsigned>(left.count()));
}

void link_session::stop_timers() {
    shell.kill_timer(kTickTimer);
    shell.kill_timer(kWakeTimer);
}

void link_session::leave_bus() {
    shell.bus_unregister();
    bus.shut();
    shell.bus_unload();
}

void link_session::on_destroy() {
    leave_bus();
    shell.delete_tray_icon(tray_icon_for(args.mode));
    stop_timers();
    channel.close_port();
}

void link_session::on_end_session() {
    stop_timers();
    channel.close_port();
    leave_bus();
}

} // namespace bridge

#pragma once
// The bridge window's life: start-up, the timer tick's outer frame, bus events and the two
// ways of shutting down, each step in its fixed order. The mode's own logic is the
// link_mapping it holds.
#include "bus_gate.h"
#include "command_line.h"
#include "link_mapping.h"
#include "link_shell.h"

#include <memory>

namespace bridge {

class link_session {
public:
    // Timer 1 is the periodic tick; timer 2 is one-shot, for a start command that is due.
    static constexpr int kTickTimer = 1;
    static constexpr int kWakeTimer = 2;

    link_session(link_arguments arguments, link_shell& shell, serial_channel& channel,
                 bus_sink& bus);

    // Window creation: tray icon, no taskbar button.
    void on_create();
    // Dialog initialisation: bus, version, line speed and timer, title and mode text.
    void on_init_dialog();
    void on_timer(int id);
    // The taskbar was (re)started: it knows no tray icon of ours.
    void on_taskbar_created();
    void on_bus_event(std::uint32_t type, std::uint32_t handle);
    // Window destruction: leave the bus, remove the tray icon, stop the timers, close.
    void on_destroy();
    // The session really ends: stop the timers, close, leave the bus.
    void on_end_session();

private:
    void tick();
    void schedule_wake();
    void stop_timers();
    void leave_bus();

    link_arguments args;
    link_shell& shell;
    serial_channel& channel;
    bus_gate bus;
    std::unique_ptr<link_mapping> mapping;
    // From the moment the open port's device failed until it opens again.
    bool port_lost = false;
};

} // namespace bridge

#pragma once
// Mode 0: the tester's text link. "qel_start" sends the start command a second later and
// starts a 20-tick watch for the end marker; received bytes become posted lines.
#include "line_assembler.h"
#include "link_mapping.h"
#include "run_watch.h"

#include <deque>

namespace bridge {

class tester_link final : public link_mapping {
public:
    tester_link(device_port& port, bus_sink& bus);

    // "qel_start": the start command a second later.
    void handle_command(std::string_view text, link_time now) override;
    // The 1000 ms step: counts the watch down and reports a run that never ended.
    void tick() override;
    void tick_while_lost() override { tick(); }
    int tester_watch() const { return watch.left(); }
    std::optional<link_time> wake_at() const override;
    // Sends every start command whose moment has come.
    void wake(link_time now) override;
    void dispatch_bytes(const std::uint8_t* bytes, std::size_t count) override;

private:
    // A finished line to the bus; a line with the end marker cancels the watch first and
    // is followed by "qel_end".
    void post_line(std::string_view line);

    static constexpr link_time kStartDelay{1000};
    static constexpr int kWatchTicks = 20;
    device_port& port;
    bus_sink& bus;
    run_watch watch;
    line_assembler lines;
    // Due moments of the start commands, in order, each at least a second after the
    // previous one, as if every keyword had waited its second in turn.
    std::deque<link_time> starts_due;
    link_time last_due{0};
};

} // namespace bridge

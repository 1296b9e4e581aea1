#include "tester_link.h"

#include "keywords.h"
#include "type_word.h"

#include <algorithm>

namespace bridge {

namespace kw = bus::keyword;

tester_link::tester_link(device_port& port, bus_sink& bus) : port(port), bus(bus) {}

void tester_link::handle_command(std::string_view text, link_time now) {
    if (text != kw::kQelStart) {
        return;
    }
    if (!port.connected()) {
        bus.post(bus::kBridgeKeyword, port_closed_text(port.number()));
        return;
    }
    last_due = std::max(now, last_due) + kStartDelay;
    starts_due.push_back(last_due);
}

std::optional<link_time> tester_link::wake_at() const {
    if (starts_due.empty()) {
        return std::nullopt;
    }
    return starts_due.front();
}

void tester_link::wake(link_time now) {
    constexpr std::string_view start = kw::kTesterStart;
    while (!starts_due.empty() && starts_due.front() <= now) {
        starts_due.pop_front();
        // Armed first: a tester that answers at once can end its run before the write returns.
        watch.start(kWatchTicks);
        port.write_bytes(reinterpret_cast<const std::uint8_t*>(start.data()), start.size());
        count_written(start.size());
    }
}

void tester_link::tick() {
    watch.count_down([this] { bus.post(bus::kBridgeKeyword, kw::kQelParalyzed); });
}

void tester_link::dispatch_bytes(const std::uint8_t* bytes, std::size_t count) {
    count_received(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (auto line = lines.assemble_line(bytes[i])) {
            post_line(*line);
        }
    }
}

void tester_link::post_line(std::string_view line) {
    const bool ends_run = line.find(kw::kTesterEndMarker) != std::string_view::npos;
    if (ends_run) {
        watch.cancel();
    }
    bus.post(bus::kBridgeKeyword, line);
    if (ends_run) {
        bus.post(bus::kBridgeKeyword, kw::kQelEnd);
    }
}

} // namespace bridge

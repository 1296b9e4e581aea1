#include "link_mapping.h"

#include "control_link.h"
#include "keywords.h"
#include "tester_link.h"

#include <cstdio>

namespace bridge {

void link_mapping::count_received(std::size_t count) {
    counters.rx += static_cast<std::uint32_t>(count);
    ++counters.rf;
}

void link_mapping::count_written(std::size_t count) {
    counters.tx += static_cast<std::uint32_t>(count);
    ++counters.tf;
}

std::unique_ptr<link_mapping> make_link_mapping(int mode, device_port& port, bus_sink& bus) {
    if (mode == 1) {
        return std::make_unique<control_link>(port, bus);
    }
    return std::make_unique<tester_link>(port, bus);
}

std::string port_closed_text(int port_number) {
    char text[32];
    std::snprintf(text, sizeof text, bus::keyword::kPortClosedFormat, port_number);
    return text;
}

} // namespace bridge

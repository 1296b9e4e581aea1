#include "line_assembler.h"

#include "keywords.h"
#include "type_word.h"

#include <cstddef>
#include <string_view>

namespace bridge {

line_assembler::line_assembler(bus_sink& bus, run_watch& tester_watch)
    : bus(bus), tester_watch(tester_watch) {}

void line_assembler::assemble_line(std::uint8_t byte) {
    if (byte == '\r') {
        return;
    }
    if (byte != '\n') {
        line_buffer[static_cast<std::size_t>(line_length)] = static_cast<char>(byte);
        if (line_length < kMaxLine) {
            ++line_length;
        }
        return;
    }
    if (line_length > 0) {
        std::string_view line(line_buffer.data(), static_cast<std::size_t>(line_length));
        bool ends_run = line.find(bus::keyword::kTesterEndMarker) != std::string_view::npos;
        if (ends_run) {
            tester_watch.cancel();
        }
        bus.post(bus::kBridgeKeyword, line);
        if (ends_run) {
            bus.post(bus::kBridgeKeyword, bus::keyword::kQelEnd);
        }
    }
    line_length = 0;
}

} // namespace bridge

#pragma once
// Cuts the tester's byte stream into lines and posts each one.
#include "link_ports.h"
#include "run_watch.h"

#include <array>
#include <cstdint>

namespace bridge {

// Reader thread only. CR is dropped, LF ends a line, empty lines post nothing, and a line
// keeps its first 2047 bytes. A line with the end marker cancels the tester watch and is
// followed by "qel_end".
class line_assembler {
public:
    line_assembler(bus_sink& bus, run_watch& tester_watch);
    void assemble_line(std::uint8_t byte);

private:
    static constexpr int kMaxLine = 2047;
    bus_sink& bus;
    run_watch& tester_watch;
    std::array<char, kMaxLine + 1> line_buffer{};
    int line_length = 0;
};

} // namespace bridge

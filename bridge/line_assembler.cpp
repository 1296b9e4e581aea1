#include "line_assembler.h"

#include <cstddef>

namespace bridge {

std::optional<std::string_view> line_assembler::assemble_line(std::uint8_t byte) {
    if (byte == '\r') {
        return std::nullopt;
    }
    if (byte != '\n') {
        line_buffer[static_cast<std::size_t>(line_length)] = static_cast<char>(byte);
        if (line_length < kMaxLine) {
            ++line_length;
        }
        return std::nullopt;
    }
    const auto length = static_cast<std::size_t>(line_length);
    line_length = 0;
    if (length == 0) {
        return std::nullopt;
    }
    return std::string_view(line_buffer.data(), length);
}

} // namespace bridge

#pragma once
// Cuts the tester's byte stream into lines.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace bridge {

// Reader thread only. CR is dropped, LF ends a line, empty lines give nothing, and a line
// keeps its first 2047 bytes.
class line_assembler {
public:
    // The line that `byte` finishes, if any; it holds until the next call.
    std::optional<std::string_view> assemble_line(std::uint8_t byte);

private:
    static constexpr int kMaxLine = 2047;
    std::array<char, kMaxLine + 1> line_buffer{};
    int line_length = 0;
};

} // namespace bridge

#pragma once
// Reading the simulators' fault commands: words, counts and bytes written as hex.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// The blank-separated words of a command line.
std::vector<std::string> words_of(std::string_view text);

// A plain decimal number from 0 to `most`; nullopt for anything else ("-1", "5x", "").
std::optional<int> number_of(std::string_view word, int most);

// Hex pairs with or without blanks between them ("41 00 42", "D6D0"); nullopt when empty,
// odd or not hex.
std::optional<std::vector<std::uint8_t>> bytes_of_hex(std::string_view text);

// The parts that are not empty, separated by ", ".
std::string joined(const std::vector<std::string>& parts);

// "01 03 02 00 00 B8 44"
std::string hex_of(std::span<const std::uint8_t> bytes);

} // namespace sim

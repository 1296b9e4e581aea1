#include "command_text.h"

#include "hex_digit.h"

#include <charconv>
#include <cstdio>

namespace sim {

namespace {

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

std::vector<std::string> words_of(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        if (blank(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !blank(text[end])) {
            ++end;
        }
        words.emplace_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

std::optional<int> number_of(std::string_view word, int most) {
    int value = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || word[0] == '-' || error != std::errc{} ||
        end != word.data() + word.size() || value > most) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<std::uint8_t>> bytes_of_hex(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (blank(text[i])) {
            ++i;
            continue;
        }
        int high = framework::hex_digit(text[i]);
        int low = i + 1 < text.size() ? framework::hex_digit(text[i + 1]) : -1;
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        i += 2;
    }
    if (bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const auto& part : parts) {
        if (!part.empty()) {
            text += (text.empty() ? "" : ", ") + part;
        }
    }
    return text;
}

std::string hex_of(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", byte);
        text += (text.empty() ? "" : " ") + std::string(pair);
    }
    return text;
}

} // namespace sim

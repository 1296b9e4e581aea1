#include "tester_faults.h"

#include "command_text.h"

#include <utility>

namespace sim {

namespace {

constexpr int kMostCount = 1000000;
constexpr int kMostLong = 1 << 20;

} // namespace

std::optional<std::string> tester_faults::take(std::string_view command) {
    auto words = words_of(command);
    if (words.empty()) {
        return std::nullopt;
    }
    const std::string& name = words[0];
    if (name == "insert" || name == "raw") {
        auto bytes = bytes_of_hex(command.substr(command.find(name) + name.size()));
        if (!bytes) {
            return std::nullopt;
        }
        if (name == "insert") {
            extras.insert = std::string(bytes->begin(), bytes->end());
        } else {
            raw.insert(raw.end(), bytes->begin(), bytes->end());
        }
        return "fault " + name + " " + hex_of(*bytes);
    }
    if (words.size() != 2) {
        return std::nullopt;
    }
    if (name == "eol") {
        static const char* const endings[] = {"\r\n", "\n", "\r"};
        for (const char* ending : endings) {
            if (words[1] == eol_name(ending)) {
                line_end = ending;
                return "fault eol " + words[1];
            }
        }
        return std::nullopt;
    }
    std::optional<int> n;
    if (name == "ignore" && (n = number_of(words[1], kMostCount))) {
        ignore = *n;
    } else if (name == "cut" && (n = number_of(words[1], kMostCount))) {
        extras.cut = static_cast<std::size_t>(*n);
    } else if (name == "long" && (n = number_of(words[1], kMostLong))) {
        extras.long_line = static_cast<std::size_t>(*n);
    } else {
        return std::nullopt;
    }
    return "fault " + name + " " + std::to_string(*n);
}

bool tester_faults::ignore_start() {
    if (ignore == 0) {
        return false;
    }
    --ignore;
    return true;
}

run_extras tester_faults::take_extras() {
    return std::exchange(extras, {});
}

std::vector<std::uint8_t> tester_faults::take_raw() {
    return std::exchange(raw, {});
}

} // namespace sim

#include "control_requests.h"

#include "keywords.h"

namespace bridge {

namespace kw = bus::keyword;

std::uint16_t status_value(std::string_view lamp, std::uint16_t status_word) {
    if (lamp == "clear") {
        return status_word & static_cast<std::uint16_t>(~(kAllPassLamp | kFailLamp));
    }
    if (lamp == "allpass") {
        return status_word | kAllPassLamp;
    }
    return status_word | kFailLamp;
}

std::uint8_t power_value(int index) {
    return static_cast<std::uint8_t>((0x10u << index) & 0xFF);
}

std::optional<frame> request_for(std::string_view command, std::uint16_t status_word) {
    constexpr std::string_view status_prefix = "status";
    if (command.empty()) {
        return poll_request();
    }
    if (command == kw::kPressurize) {
        return status_write(status_word | kPressurize);
    }
    if (command.starts_with(status_prefix)) {
        // The lamp name follows the seventh character, "status_".
        std::string_view lamp = command.size() > 7 ? command.substr(7) : std::string_view{};
        return status_write(status_value(lamp, status_word));
    }
    if (command == kw::kPoweringDown) {
        return power_write(0);
    }
    if (auto index = kw::powering_up_index(command)) {
        return power_write(power_value(*index));
    }
    return std::nullopt;
}

bool is_control_command(std::string_view text) {
    return text == kw::kPressurize || text == kw::kPoweringDown || text == kw::kStatusClear ||
           text == kw::kStatusAllPass || text == kw::kStatusFail ||
           kw::powering_up_index(text).has_value();
}

} // namespace bridge

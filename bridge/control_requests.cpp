#include "control_requests.h"

#include "keywords.h"

namespace bridge {

namespace kw = bus::keyword;

status_change status_change_for(std::string_view command) {
    constexpr std::string_view status_prefix = "status";
    if (command == kw::kPressurize) {
        return {0xFFFF, kPressurize};
    }
    // The lamp name follows the seventh character, "status_".
    std::string_view lamp = command.size() > 7 ? command.substr(7) : std::string_view{};
    if (!command.starts_with(status_prefix)) {
        return {};
    }
    if (lamp == "clear") {
        return {static_cast<std::uint16_t>(~(kAllPassLamp | kFailLamp)), 0};
    }
    return {0xFFFF, lamp == "allpass" ? kAllPassLamp : kFailLamp};
}

std::uint8_t power_value(int index) {
    return static_cast<std::uint8_t>((0x10u << index) & 0xFF);
}

std::optional<frame> power_request(std::string_view command) {
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

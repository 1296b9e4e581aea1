#include "window_bus.h"

#include "binding.h"
#include "type_word.h"

#include <string>

void window_bus::post(std::uint32_t type, std::string_view bytes) {
    std::uint32_t channel = bus::channel_of(type);
    if ((type & bus::kKindArray) != 0) {
        bus_post_bytes(window, channel, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        return;
    }
    bus_post_text(window, channel, std::string(bytes).c_str());
}

#include "bus_gate.h"

namespace bridge {

void bus_gate::post(std::uint32_t type, std::string_view bytes) {
    std::lock_guard hold(lock);
    if (open) {
        bus.post(type, bytes);
    }
}

void bus_gate::shut() {
    std::lock_guard hold(lock);
    open = false;
}

} // namespace bridge

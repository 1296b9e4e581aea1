#include "binding.h"

#include "lumo_table.h"
#include "type_word.h"

#include <cstring>

namespace {

lumo_table table;
std::uint32_t text_base = 0;

} // namespace

bool bus_unload() {
    free_lumo_table(table);
    return true;
}

bool bus_load(std::uint32_t base) {
    text_base = base;
    return load_lumo_table(table, lumo_entries::all);
}

bool bus_register(HWND window, std::uint32_t mask, const char* name) {
    if (table.register_window == nullptr) {
        return false;
    }
    table.register_window(window, mask, name);
    return true;
}

bool bus_unregister(HWND window) {
    if (table.unregister_window == nullptr) {
        return false;
    }
    table.unregister_window(window);
    return true;
}

bool bus_post_text(HWND window, std::uint32_t channel, const char* text) {
    if (table.post_data == nullptr) {
        return false;
    }
    table.post_data(window, bus::compose(text_base, channel),
                    reinterpret_cast<std::uintptr_t>(text),
                    static_cast<std::uint32_t>(std::strlen(text)));
    return true;
}

bool bus_post_bytes(HWND window, std::uint32_t channel, const void* bytes, std::uint32_t count) {
    if (table.post_data == nullptr) {
        return false;
    }
    table.post_data(window, bus::compose(bus::kBridgeBytes, channel),
                    reinterpret_cast<std::uintptr_t>(bytes), count);
    return true;
}

char* bus_fetch(std::uint32_t handle, std::uint32_t* count) {
    if (table.getp == nullptr) {
        return nullptr;
    }
    return table.getp(handle, count);
}

bool bus_set_text(const char* name, const char* value) {
    if (table.set_str == nullptr) {
        return false;
    }
    table.set_str(name, value);
    return true;
}

#include "binding.h"

#include "lumo_api.h"
#include "type_word.h"

#include <cstring>

namespace {

// The library handle and its nine entry points, in table order.
struct Table {
    HMODULE library = nullptr;
    LumoPostData post_data = nullptr;
    LumoRegister register_window = nullptr;
    LumoUnregister unregister_window = nullptr;
    LumoGetPublicVar get_public_var = nullptr;
    LumoSetPublicVar set_public_var = nullptr;
    LumoGetp getp = nullptr;
    LumoGetStr get_str = nullptr;
    LumoSetStr set_str = nullptr;
    LumoGetInfo get_info = nullptr;
};

Table table;

template <typename Fn> bool resolve(Fn& slot, const char* name) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(table.library, name)));
    return slot != nullptr;
}

} // namespace

bool bus_unload() {
    if (table.library != nullptr) {
        HMODULE library = table.library;
        table = Table{};
        FreeLibrary(library);
    }
    return true;
}

bool bus_load() {
    bus_unload();
    table.library = LoadLibraryW(L"lumo.dll");
    if (table.library == nullptr) {
        return false;
    }
    const char* const* name = kLumoExports;
    bool all = resolve(table.post_data, *name++);
    all = resolve(table.register_window, *name++) && all;
    all = resolve(table.unregister_window, *name++) && all;
    all = resolve(table.get_public_var, *name++) && all;
    all = resolve(table.set_public_var, *name++) && all;
    all = resolve(table.getp, *name++) && all;
    all = resolve(table.get_str, *name++) && all;
    all = resolve(table.set_str, *name++) && all;
    all = resolve(table.get_info, *name++) && all;
    if (!all) {
        bus_unload();
    }
    return all;
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
    table.post_data(window, bus::compose(bus_text_base, channel),
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

// The nine exports of the bus. Delivery is posted, never sent, so a hung or dead
// receiver cannot block a sender. A sender's own window does not receive its posts.
#include "shared_bus.h"
#include "type_word.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A window handle has 32 significant bits on every Windows, so 32-bit and 64-bit clients
// of one section key a window alike: its low half, widened back as the system widens it.
std::uint64_t key(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
}

HWND window_of(std::uint64_t key) {
    const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(key));
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(low));
}

void drop_client(std::uint64_t window) {
    lumo::bus_lock lock;
    if (lock.state() != nullptr) {
        lumo::unregister_client(*lock.state(), window);
        lumo::add_stat(lock.state()->stats.dropped_clients, 1);
    }
}

void count(std::uint64_t lumo::bus_statistics::*counter, std::uint64_t n) {
    if (lumo::bus_state* state = lumo::unlocked_state(); state != nullptr && n != 0) {
        lumo::add_stat(state->stats.*counter, n);
    }
}

// Each thread keeps its last payload and info text until its next call.
thread_local std::vector<char> fetched;
thread_local std::string info_text;

} // namespace

extern "C" {

int lumoPostData(HWND window, std::uint32_t type, std::uintptr_t data, std::uint32_t length) {
    std::vector<lumo::client_slot> targets;
    LPARAM lparam = static_cast<LPARAM>(data);
    {
        lumo::bus_lock lock;
        lumo::bus_state* state = lock.state();
        if (state == nullptr) {
            return 0;
        }
        lumo::add_stat(state->stats.posts, 1);
        if (bus::carries_payload(type)) {
            std::uint32_t handle =
                lumo::store_payload(*state, reinterpret_cast<const void*>(data), length);
            if (handle == 0) {
                lumo::add_stat(state->stats.refusals, 1);
                return 0;
            }
            lparam = handle;
        }
        targets = lumo::recipients(*state, type, key(window));
    }
    std::uint64_t delivered = 0;
    std::uint64_t refused = 0;
    for (const lumo::client_slot& client : targets) {
        if (PostMessageW(window_of(client.window), bus::kWmBusEvent, type, lparam)) {
            ++delivered;
        } else if (GetLastError() == ERROR_INVALID_WINDOW_HANDLE) {
            drop_client(client.window); // its process has gone
        } else {
            ++refused; // its queue is full: a hung receiver loses this one only
        }
    }
    count(&lumo::bus_statistics::deliveries, delivered);
    count(&lumo::bus_statistics::refusals, refused);
    return 1;
}

int lumoRegister(HWND window, std::uint32_t mask, const char* name) {
    if (!IsWindow(window)) {
        return 0;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    lumo::bus_lock lock;
    return lock.state() != nullptr &&
           lumo::register_client(*lock.state(), key(window), mask, name ? name : "", process);
}

void lumoUnregister(HWND window) {
    lumo::bus_lock lock;
    if (lock.state() != nullptr) {
        lumo::unregister_client(*lock.state(), key(window));
    }
}

std::uint32_t lumoGetPublicVar(std::uint32_t index) {
    lumo::bus_lock lock;
    return lock.state() != nullptr ? lumo::get_public_var(*lock.state(), index) : 0;
}

int lumoSetPublicVar(std::uint32_t index, std::uint32_t value) {
    lumo::bus_lock lock;
    return lock.state() != nullptr && lumo::set_public_var(*lock.state(), index, value);
}

char* lumoGetp(std::uint32_t handle, std::uint32_t* count) {
    lumo::bus_state* state = lumo::unlocked_state();
    if (state == nullptr || !lumo::fetch_payload(*state, handle, fetched)) {
        if (count != nullptr) {
            *count = 0;
        }
        return nullptr;
    }
    if (count != nullptr) {
        *count = static_cast<std::uint32_t>(fetched.size() - 1);
    }
    return fetched.data();
}

const char* lumoGetStr(const char* name) {
    lumo::bus_lock lock;
    if (lock.state() == nullptr || name == nullptr ||
        !lumo::get_named_string(*lock.state(), name, info_text)) {
        return nullptr;
    }
    return info_text.c_str();
}

int lumoSetStr(const char* name, const char* value) {
    lumo::bus_lock lock;
    return lock.state() != nullptr && name != nullptr &&
           lumo::set_named_string(*lock.state(), name, value ? value : "");
}

const char* lumoGetInfo(std::uint32_t code) {
    switch (code) {
    case 127:
        info_text = "1.0.0";
        return info_text.c_str();
    case 128:
        info_text = __DATE__;
        return info_text.c_str();
    default:
        break;
    }
    lumo::bus_lock lock;
    if (lock.state() == nullptr) {
        return nullptr;
    }
    switch (code) {
    case 129:
        info_text = lumo::client_list_text(*lock.state());
        break;
    case 130:
        info_text = lumo::public_vars_text(*lock.state());
        break;
    case 131:
        info_text = lumo::statistics_text(*lock.state());
        break;
    default:
        return nullptr;
    }
    return info_text.c_str();
}

} // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        return lumo::open_shared_bus() ? TRUE : FALSE;
    }
    if (reason == DLL_PROCESS_DETACH) {
        lumo::close_shared_bus();
    }
    return TRUE;
}

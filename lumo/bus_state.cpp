#include "bus_state.h"

#include "type_word.h"

#include <cstdio>
#include <cstring>

namespace lumo {

namespace {

void copy_text(char* dest, std::size_t size, std::string_view text) {
    std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

std::string_view text_of(const char* field, std::size_t size) {
    return std::string_view(field, strnlen(field, size));
}

} // namespace

void init_state(BusState& state) {
    if (state.magic == kMagic) {
        return;
    }
    std::memset(&state, 0, offsetof(BusState, index));
    std::memset(state.index, 0, sizeof state.index);
    state.next_handle = 1;
    state.magic = kMagic;
}

bool register_client(BusState& state, std::uint64_t window, std::uint32_t mask,
                     std::string_view name, std::uint32_t process) {
    Client* slot = nullptr;
    for (std::uint32_t i = 0; i < state.client_count; ++i) {
        if (state.clients[i].window == window) {
            slot = &state.clients[i];
        }
    }
    if (slot == nullptr) {
        if (state.client_count == kMaxClients) {
            return false;
        }
        slot = &state.clients[state.client_count++];
        slot->window = window;
    }
    slot->mask = mask;
    slot->process = process;
    copy_text(slot->name, kNameBytes, name);
    return true;
}

void unregister_client(BusState& state, std::uint64_t window) {
    for (std::uint32_t i = 0; i < state.client_count; ++i) {
        if (state.clients[i].window == window) {
            // Keep registration order: the client list reads in the order clients came.
            std::memmove(&state.clients[i], &state.clients[i + 1],
                         (state.client_count - i - 1) * sizeof(Client));
            --state.client_count;
            return;
        }
    }
}

std::vector<Client> recipients(const BusState& state, std::uint32_t type, std::uint64_t sender) {
    std::vector<Client> out;
    std::uint32_t kind = type & bus::kKindMask;
    for (std::uint32_t i = 0; i < state.client_count; ++i) {
        const Client& c = state.clients[i];
        if (c.window != sender && (c.mask & kind) != 0) {
            out.push_back(c);
        }
    }
    return out;
}

std::uint32_t store_payload(BusState& state, const void* bytes, std::uint32_t length) {
    if (length > kMaxPayload || (bytes == nullptr && length != 0)) {
        return 0;
    }
    std::size_t need = std::size_t{length} + 1; // the zero byte travels with the payload
    std::uint64_t position = state.write_position;
    std::size_t offset = position % kRingBytes;
    if (offset + need > kRingBytes) {
        position += kRingBytes - offset; // never split a payload across the ring's end
        offset = 0;
    }
    if (length != 0) {
        std::memcpy(state.ring + offset, bytes, length);
    }
    state.ring[offset + length] = '\0';
    state.write_position = position + need;

    std::uint32_t handle = state.next_handle;
    state.next_handle = handle + 1 == 0 ? 1 : handle + 1;
    state.index[handle % kIndexSlots] = IndexEntry{handle, length, position};
    return handle;
}

bool fetch_payload(const BusState& state, std::uint32_t handle, std::vector<char>& out) {
    const IndexEntry& entry = state.index[handle % kIndexSlots];
    if (handle == 0 || entry.handle != handle) {
        return false;
    }
    // Intact while nothing written since has wrapped around onto it.
    if (state.write_position - entry.position > kRingBytes) {
        return false;
    }
    const unsigned char* start = state.ring + entry.position % kRingBytes;
    out.assign(start, start + entry.length);
    out.push_back('\0');
    return true;
}

bool set_public_var(BusState& state, std::uint32_t index, std::uint32_t value) {
    if (index >= kPublicVars) {
        return false;
    }
    state.public_vars[index] = value;
    return true;
}

std::uint32_t get_public_var(const BusState& state, std::uint32_t index) {
    return index < kPublicVars ? state.public_vars[index] : 0;
}

bool set_named_string(BusState& state, std::string_view name, std::string_view value) {
    if (name.empty() || name.size() >= kNameBytes) {
        return false;
    }
    NamedString* free_slot = nullptr;
    for (NamedString& s : state.strings) {
        if (text_of(s.name, kNameBytes) == name) {
            copy_text(s.value, kStringBytes, value);
            return true;
        }
        if (free_slot == nullptr && s.name[0] == '\0') {
            free_slot = &s;
        }
    }
    if (free_slot == nullptr) {
        return false;
    }
    copy_text(free_slot->name, kNameBytes, name);
    copy_text(free_slot->value, kStringBytes, value);
    return true;
}

bool get_named_string(const BusState& state, std::string_view name, std::string& value) {
    for (const NamedString& s : state.strings) {
        if (s.name[0] != '\0' && text_of(s.name, kNameBytes) == name) {
            value = text_of(s.value, kStringBytes);
            return true;
        }
    }
    return false;
}

std::string client_list_text(const BusState& state) {
    std::string text;
    char line[96];
    for (std::uint32_t i = 0; i < state.client_count; ++i) {
        const Client& c = state.clients[i];
        std::snprintf(line, sizeof line, "%08X %s 0x%08X\r\n",
                      static_cast<unsigned>(c.window & 0xFFFFFFFF), c.name, c.mask);
        text += line;
    }
    return text;
}

std::string public_vars_text(const BusState& state) {
    std::string text;
    char line[32];
    for (std::uint32_t i = 0; i < kPublicVars; ++i) {
        std::snprintf(line, sizeof line, "%02u=%u\r\n", i, state.public_vars[i]);
        text += line;
    }
    for (const NamedString& s : state.strings) {
        if (s.name[0] != '\0') {
            text += text_of(s.name, kNameBytes);
            text += '=';
            text += text_of(s.value, kStringBytes);
            text += "\r\n";
        }
    }
    return text;
}

std::string statistics_text(const BusState& state) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "clients %u\r\nposts %llu\r\ndeliveries %llu\r\nrefusals %llu\r\n"
                  "dropped %llu\r\n",
                  state.client_count, static_cast<unsigned long long>(state.stats.posts),
                  static_cast<unsigned long long>(state.stats.deliveries),
                  static_cast<unsigned long long>(state.stats.refusals),
                  static_cast<unsigned long long>(state.stats.dropped_clients));
    return text;
}

} // namespace lumo

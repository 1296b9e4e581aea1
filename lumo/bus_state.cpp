#include "bus_state.h"

#include "type_word.h"

#include <atomic>
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

void add_stat(std::uint64_t& counter, std::uint64_t n) {
    std::atomic_ref<std::uint64_t>(counter).fetch_add(n, std::memory_order_relaxed);
}

void init_state(bus_state& state) {
    if (state.magic == kMagic) {
        return;
    }
    std::memset(&state.magic, 0, offsetof(bus_state, index) - offsetof(bus_state, magic));
    std::memset(state.index, 0, sizeof state.index);
    state.next_handle = 1;
    state.magic = kMagic;
}

bool register_client(bus_state& state, std::uint64_t window, std::uint32_t mask,
                     std::string_view name, std::uint32_t process) {
    client_slot* slot = nullptr;
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

void unregister_client(bus_state& state, std::uint64_t window) {
    for (std::uint32_t i = 0; i < state.client_count; ++i) {
        if (state.clients[i].window == window) {
            // Keep registration order: the client list reads in the order clients came.
            std::memmove(&state.clients[i], &state.clients[i + 1],
                         (state.client_count - i - 1) * sizeof(client_slot));
            --state.client_count;
            return;
        }
    }
}

std::vector<client_slot> recipients(const bus_state& state, std::uint32_t type,
                                    std::uint64_t sender) {
    std::vector<client_slot> out;
    std::uint32_t kind = type & bus::kKindMask;
    for (std::uint32_t i = 0; i < state.client_count; ++i) {
        const client_slot& c = state.clients[i];
        if (c.window != sender && (c.mask & kind) != 0) {
            out.push_back(c);
        }
    }
    return out;
}

std::uint32_t store_payload(bus_state& state, const void* bytes, std::uint32_t length) {
    if (length > kMaxPayload || (bytes == nullptr && length != 0)) {
        return 0;
    }
    std::size_t need = std::size_t{length} + 1; // the zero byte travels with the payload
    std::atomic_ref<std::uint64_t> write_position(state.write_position);
    std::uint64_t position = write_position.load(std::memory_order_relaxed);
    std::size_t offset = position % kRingBytes;
    if (offset + need > kRingBytes) {
        position += kRingBytes - offset; // never split a payload across the ring's end
        offset = 0;
    }
    // Claim the room before writing into it, so a reader copying older bytes from there
    // sees that they are gone.
    write_position.store(position + need, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (length != 0) {
        std::memcpy(state.ring + offset, bytes, length);
    }
    state.ring[offset + length] = '\0';

    std::uint32_t handle = state.next_handle;
    state.next_handle = handle + 1 == 0 ? 1 : handle + 1;
    index_entry& entry = state.index[handle % kIndexSlots];
    std::atomic_ref<std::uint32_t> entry_handle(entry.handle);
    entry_handle.store(0, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    entry.length = length;
    entry.position = position;
    entry_handle.store(handle, std::memory_order_release); // published last
    return handle;
}

// Runs without the bus lock: every step that could race a writer is checked afterwards.
bool fetch_payload(const bus_state& state, std::uint32_t handle, std::vector<char>& out) {
    auto& entry = const_cast<index_entry&>(state.index[handle % kIndexSlots]);
    std::atomic_ref<std::uint32_t> entry_handle(entry.handle);
    if (handle == 0 || entry_handle.load(std::memory_order_acquire) != handle) {
        return false;
    }
    std::uint32_t length = std::atomic_ref<std::uint32_t>(entry.length).load();
    std::uint64_t position = std::atomic_ref<std::uint64_t>(entry.position).load();
    std::atomic_thread_fence(std::memory_order_acquire);
    if (entry_handle.load(std::memory_order_relaxed) != handle || length > kMaxPayload ||
        position % kRingBytes + length >= kRingBytes) {
        return false;
    }
    const unsigned char* start = state.ring + position % kRingBytes;
    out.assign(start, start + length);
    out.push_back('\0');
    std::atomic_thread_fence(std::memory_order_seq_cst);
    // Intact while nothing written since has wrapped around onto it.
    auto& write_position = const_cast<std::uint64_t&>(state.write_position);
    return std::atomic_ref<std::uint64_t>(write_position).load() - position <= kRingBytes;
}

bool set_public_var(bus_state& state, std::uint32_t index, std::uint32_t value) {
    if (index >= kPublicVars) {
        return false;
    }
    state.public_vars[index] = value;
    return true;
}

std::uint32_t get_public_var(const bus_state& state, std::uint32_t index) {
    return index < kPublicVars ? state.public_vars[index] : 0;
}

bool set_named_string(bus_state& state, std::string_view name, std::string_view value) {
    if (name.empty() || name.size() >= kNameBytes) {
        return false;
    }
    named_string* free_slot = nullptr;
    for (named_string& s : state.strings) {
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

bool get_named_string(const bus_state& state, std::string_view name, std::string& value) {
    for (const named_string& s : state.strings) {
        if (s.name[0] != '\0' && text_of(s.name, kNameBytes) == name) {
            value = text_of(s.value, kStringBytes);
            return true;
        }
    }
    return false;
}

std::string client_list_text(const bus_state& state) {
    std::string text;
    char line[96];
    for (std::uint32_t i = 0; i < state.client_count; ++i) {
        const client_slot& c = state.clients[i];
        std::snprintf(line, sizeof line, "%08X %s 0x%08X\r\n",
                      static_cast<unsigned>(c.window & 0xFFFFFFFF), c.name, c.mask);
        text += line;
    }
    return text;
}

std::string public_vars_text(const bus_state& state) {
    std::string text;
    char line[32];
    for (std::uint32_t i = 0; i < kPublicVars; ++i) {
        std::snprintf(line, sizeof line, "%02u=%u\r\n", i, state.public_vars[i]);
        text += line;
    }
    for (const named_string& s : state.strings) {
        if (s.name[0] != '\0') {
            text += text_of(s.name, kNameBytes);
            text += '=';
            text += text_of(s.value, kStringBytes);
            text += "\r\n";
        }
    }
    return text;
}

std::string statistics_text(const bus_state& state) {
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

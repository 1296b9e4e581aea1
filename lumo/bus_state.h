#pragma once
// The state every process of the bus shares: client table, public variables, named
// strings and the payload ring. Plain data in one block, so it can live in a named
// shared-memory section; every operation here expects the caller to hold the bus lock.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

constexpr std::uint32_t kMagic = 0x4C554D33; // "LUM3"; a changed layout changes it
constexpr std::size_t kMaxClients = 64;
constexpr std::size_t kNameBytes = 32;
constexpr std::size_t kPublicVars = 32;
constexpr std::size_t kNamedStrings = 32;
constexpr std::size_t kStringBytes = 256;
constexpr std::uint32_t kMaxPayload = 64 * 1024;
constexpr std::size_t kRingBytes = 4 * 1024 * 1024;
constexpr std::size_t kIndexSlots = 64 * 1024;

struct client_slot {
    std::uint64_t window;
    std::uint32_t mask;
    std::uint32_t process;
    char name[kNameBytes];
};

struct named_string {
    char name[kNameBytes];
    char value[kStringBytes];
};

// Where the payload of one handle lies in the ring, by absolute stream position.
struct index_entry {
    std::uint32_t handle;
    std::uint32_t length;
    std::uint64_t position;
};

// Counted without the bus lock, by atomic adds.
struct bus_statistics {
    std::uint64_t posts;
    std::uint64_t deliveries;
    std::uint64_t refusals;
    std::uint64_t dropped_clients;
};

// Fixed-width fields, every 64-bit one at an offset that is a multiple of 8: 32-bit and
// 64-bit Windows both align std::uint64_t to 8, so both builds see the same layout.
struct bus_state {
    // The bus lock (shared_lock.h), at the section's page-aligned start, so its 64-bit
    // interlocked operations are aligned; init_state leaves it alone.
    std::uint64_t lock_holder;
    std::uint32_t magic;
    std::uint32_t client_count;
    std::uint32_t next_handle;
    std::uint32_t reserved;       // spelled out, not left to padding
    std::uint64_t write_position; // total bytes ever reserved in the ring
    bus_statistics stats;
    client_slot clients[kMaxClients];
    std::uint32_t public_vars[kPublicVars];
    named_string strings[kNamedStrings];
    index_entry index[kIndexSlots];
    unsigned char ring[kRingBytes];
};
static_assert(alignof(bus_state) == 8, "the layout above assumes 8-byte aligned std::uint64_t");

// Adds to one of the statistics counters, with or without the bus lock.
void add_stat(std::uint64_t& counter, std::uint64_t n);

// Sets up a block that is all zero bytes (a fresh section); leaves a live one alone.
void init_state(bus_state& state);

// Adds the window or, when it is there already, replaces its mask and name.
// False when the table is full.
bool register_client(bus_state& state, std::uint64_t window, std::uint32_t mask,
                     std::string_view name, std::uint32_t process);
void unregister_client(bus_state& state, std::uint64_t window);

// The clients whose mask covers the type word's data kind, the sender excluded.
std::vector<client_slot> recipients(const bus_state& state, std::uint32_t type,
                                    std::uint64_t sender);

// Copies a payload into the ring; returns its handle, or 0 when it is refused.
std::uint32_t store_payload(bus_state& state, const void* bytes, std::uint32_t length);

// Copies the payload of a handle into out, followed by one zero byte. False for a
// handle that was never issued, is forged, or whose bytes the ring has overwritten.
// Safe without the bus lock while one writer holds it.
bool fetch_payload(const bus_state& state, std::uint32_t handle, std::vector<char>& out);

bool set_public_var(bus_state& state, std::uint32_t index, std::uint32_t value);
std::uint32_t get_public_var(const bus_state& state, std::uint32_t index);
bool set_named_string(bus_state& state, std::string_view name, std::string_view value);
// Empty optional is modelled by a false return.
bool get_named_string(const bus_state& state, std::string_view name, std::string& value);

// Texts of the information codes.
std::string client_list_text(const bus_state& state); // one "handle name mask" line each
std::string public_vars_text(const bus_state& state); // variables, then named strings
std::string statistics_text(const bus_state& state);

} // namespace lumo

#pragma once
// The bus state in a named section of the user's session, and its lock.
#include "bus_state.h"
#include "shared_lock.h"

#include <windows.h>

namespace lumo {

// Holds the bus lock for its lifetime; state() is null when the section is missing or
// the lock stayed with a living holder past the wait.
class bus_lock {
public:
    bus_lock();
    ~bus_lock();
    bus_lock(const bus_lock&) = delete;
    bus_lock& operator=(const bus_lock&) = delete;
    bus_state* state() const { return held; }

private:
    bus_state* held = nullptr;
    lock_owner self{};
};

// The state for what may run without the lock (payload fetches, statistics); null
// when the section is missing.
bus_state* unlocked_state();

// Opens or creates the section; called when the DLL is attached.
bool open_shared_bus();
void close_shared_bus();

} // namespace lumo

#include "shared_bus.h"

#include "shared_lock.h"

#include <cstddef>

namespace lumo {

namespace {

HANDLE section = nullptr;
bus_state* mapped = nullptr;

// A holder that stops inside the lock without dying cannot stall the bus for long.
const ULONGLONG kLockWaitMs = 2000;

// Reads the low half of a thread's creation time; false when the system will not say.
bool creation_time(HANDLE thread, std::uint32_t& created) {
    FILETIME creation, exit, kernel, user;
    if (!GetThreadTimes(thread, &creation, &exit, &kernel, &user)) {
        return false;
    }
    created = creation.dwLowDateTime;
    return true;
}

// The calling thread as the lock word records it; its creation time is asked for once.
lock_owner this_thread() {
    thread_local const std::uint32_t created = [] {
        std::uint32_t time = 0; // never fails on the thread's own handle
        creation_time(GetCurrentThread(), time);
        return time;
    }();
    return {static_cast<std::uint32_t>(GetCurrentThreadId()), created};
}

class system_waiter : public lock_waiter {
public:
    void pause(unsigned round) override {
        // The lock is held for a copy of at most 64 KiB: spin briefly, then make way for
        // the holder, then sleep.
        if (round < 16) {
            YieldProcessor();
        } else if (round < 32) {
            SwitchToThread();
        } else {
            Sleep(1);
        }
    }

    thread_facts facts_of(std::uint32_t id) override {
        HANDLE thread = OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, id);
        if (thread == nullptr) {
            // No such thread; any other refusal (access denied) hides the thread from us.
            return {GetLastError() == ERROR_INVALID_PARAMETER ? thread_facts::kind::none
                                                              : thread_facts::kind::hidden};
        }
        thread_facts facts{thread_facts::kind::hidden};
        const DWORD waited = WaitForSingleObject(thread, 0);
        if (waited == WAIT_OBJECT_0) {
            facts.state = thread_facts::kind::none; // it has ended
        } else if (waited == WAIT_TIMEOUT && creation_time(thread, facts.created)) {
            facts.state = thread_facts::kind::running;
        }
        CloseHandle(thread);
        return facts;
    }

    bool timed_out() override { return GetTickCount64() >= deadline; }

private:
    ULONGLONG deadline = GetTickCount64() + kLockWaitMs;
};

// Maps every page of the view into this process at once. Otherwise each page would join
// the process's resident memory only when the ring's write position first reaches it, a
// page or so a station cycle, so a healthy program would seem to grow for days until the
// ring had gone round once.
void touch_every_page(const void* view, std::size_t size) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const auto* bytes = static_cast<const volatile unsigned char*>(view);
    for (std::size_t at = 0; at < size; at += system.dwPageSize) {
        static_cast<void>(bytes[at]);
    }
}

} // namespace

bool open_shared_bus() {
    section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 static_cast<DWORD>(sizeof(bus_state)), L"Local\\lumo_bus_state_3");
    if (section == nullptr) {
        return false;
    }
    mapped = static_cast<bus_state*>(MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (mapped == nullptr) {
        close_shared_bus();
        return false;
    }
    touch_every_page(mapped, sizeof(bus_state));
    bus_lock lock;
    if (lock.state() != nullptr) {
        init_state(*lock.state());
    }
    return true;
}

bus_state* unlocked_state() {
    return mapped;
}

void close_shared_bus() {
    if (mapped != nullptr) {
        UnmapViewOfFile(mapped);
        mapped = nullptr;
    }
    if (section != nullptr) {
        CloseHandle(section);
        section = nullptr;
    }
}

bus_lock::bus_lock() {
    if (mapped == nullptr) {
        return;
    }
    system_waiter waiter;
    self = this_thread();
    if (acquire_shared_lock(mapped->lock_holder, self, waiter)) {
        held = mapped;
    }
}

bus_lock::~bus_lock() {
    if (held != nullptr) {
        release_shared_lock(held->lock_holder, self);
    }
}

} // namespace lumo

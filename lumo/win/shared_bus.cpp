#include "shared_bus.h"

#include "shared_lock.h"

namespace lumo {

namespace {

HANDLE section = nullptr;
BusState* mapped = nullptr;

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
LockOwner this_thread() {
    thread_local const std::uint32_t created = [] {
        std::uint32_t time = 0; // never fails on the thread's own handle
        creation_time(GetCurrentThread(), time);
        return time;
    }();
    return {static_cast<std::uint32_t>(GetCurrentThreadId()), created};
}

class SystemWaiter : public LockWaiter {
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

    ThreadFacts thread_facts(std::uint32_t id) override {
        HANDLE thread = OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, id);
        if (thread == nullptr) {
            // No such thread; any other refusal (access denied) hides the thread from us.
            return {GetLastError() == ERROR_INVALID_PARAMETER ? ThreadFacts::State::none
                                                              : ThreadFacts::State::hidden};
        }
        ThreadFacts facts{ThreadFacts::State::hidden};
        const DWORD waited = WaitForSingleObject(thread, 0);
        if (waited == WAIT_OBJECT_0) {
            facts.state = ThreadFacts::State::none; // it has ended
        } else if (waited == WAIT_TIMEOUT && creation_time(thread, facts.created)) {
            facts.state = ThreadFacts::State::running;
        }
        CloseHandle(thread);
        return facts;
    }

    bool timed_out() override { return GetTickCount64() >= deadline; }

private:
    ULONGLONG deadline = GetTickCount64() + kLockWaitMs;
};

} // namespace

bool open_shared_bus() {
    section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 static_cast<DWORD>(sizeof(BusState)), L"Local\\lumo_bus_state_3");
    if (section == nullptr) {
        return false;
    }
    mapped = static_cast<BusState*>(MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (mapped == nullptr) {
        close_shared_bus();
        return false;
    }
    BusLock lock;
    if (lock.state() != nullptr) {
        init_state(*lock.state());
    }
    return true;
}

BusState* unlocked_state() {
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

BusLock::BusLock() {
    if (mapped == nullptr) {
        return;
    }
    SystemWaiter waiter;
    if (acquire_shared_lock(mapped->lock_holder, this_thread(), waiter)) {
        state_ = mapped;
    }
}

BusLock::~BusLock() {
    if (state_ != nullptr) {
        release_shared_lock(state_->lock_holder);
    }
}

} // namespace lumo

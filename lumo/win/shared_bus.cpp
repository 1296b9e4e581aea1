#include "shared_bus.h"

#include "shared_lock.h"

namespace lumo {

namespace {

HANDLE section = nullptr;
BusState* mapped = nullptr;

// A holder that stops inside the lock without dying cannot stall the bus for long.
const ULONGLONG kLockWaitMs = 2000;

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

    bool holder_alive(std::uint32_t holder) override {
        HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, holder);
        if (thread == nullptr) {
            // No such thread any more; any other refusal is taken for a living holder.
            return GetLastError() != ERROR_INVALID_PARAMETER;
        }
        const bool alive = WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
        CloseHandle(thread);
        return alive;
    }

    bool timed_out() override { return GetTickCount64() >= deadline; }

private:
    ULONGLONG deadline = GetTickCount64() + kLockWaitMs;
};

} // namespace

bool open_shared_bus() {
    section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 static_cast<DWORD>(sizeof(BusState)), L"Local\\lumo_bus_state_2");
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
    if (acquire_shared_lock(mapped->lock_holder, GetCurrentThreadId(), waiter)) {
        state_ = mapped;
    }
}

BusLock::~BusLock() {
    if (state_ != nullptr) {
        release_shared_lock(state_->lock_holder);
    }
}

} // namespace lumo

#include "shared_bus.h"

namespace lumo {

namespace {

HANDLE section = nullptr;
HANDLE mutex = nullptr;
BusState* mapped = nullptr;

// A holder that dies without releasing cannot stall the bus for long.
const DWORD kLockWaitMs = 2000;

} // namespace

bool open_shared_bus() {
    mutex = CreateMutexW(nullptr, FALSE, L"Local\\lumo_bus_lock_1");
    section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 static_cast<DWORD>(sizeof(BusState)), L"Local\\lumo_bus_state_1");
    if (mutex == nullptr || section == nullptr) {
        close_shared_bus();
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
    if (mutex != nullptr) {
        CloseHandle(mutex);
        mutex = nullptr;
    }
}

BusLock::BusLock() {
    if (mapped == nullptr) {
        return;
    }
    DWORD result = WaitForSingleObject(mutex, kLockWaitMs);
    // An abandoned lock is ours now; its holder died between consistent steps at worst.
    held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    if (held_) {
        state_ = mapped;
    }
}

BusLock::~BusLock() {
    if (held_) {
        ReleaseMutex(mutex);
    }
}

} // namespace lumo

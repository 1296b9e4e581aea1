// Test helper: takes the bus lock and ends its process without giving it back, as a
// program killed in the middle of a post would. Exit status 0 when it held the lock.
#include "shared_bus.h"

#include <cstdio>

int main() {
    if (!lumo::open_shared_bus()) {
        std::printf("no bus section\n");
        return 2;
    }
    auto* lock = new lumo::bus_lock; // never destroyed: the lock goes with the process
    if (lock->state() == nullptr) {
        std::printf("the bus lock was not free\n");
        return 1;
    }
    std::printf("holding the bus lock as thread %lu\n", GetCurrentThreadId());
    std::fflush(stdout);
    ExitProcess(0);
}

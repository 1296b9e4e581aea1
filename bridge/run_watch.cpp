#include "run_watch.h"

namespace bridge {

void run_watch::start(int count) {
    std::lock_guard hold(lock);
    ticks = count;
}

void run_watch::cancel() {
    std::lock_guard hold(lock);
    ticks = 0;
}

void run_watch::count_down(const std::function<void()>& report) {
    std::lock_guard hold(lock);
    if (ticks > 0 && --ticks == 0) {
        report();
    }
}

int run_watch::left() const {
    std::lock_guard hold(lock);
    return ticks;
}

} // namespace bridge

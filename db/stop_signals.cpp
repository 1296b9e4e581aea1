#include "stop_signals.h"

#include <csignal>
#include <ctime>

namespace db {
namespace {

sigset_t stop_set() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

stop_signals::stop_signals() {
    const sigset_t set = stop_set();
    sigprocmask(SIG_BLOCK, &set, nullptr);
}

stop_signals::~stop_signals() {
    // Taken before letting them through, or the stop that was asked for would kill us now.
    const sigset_t set = stop_set();
    const timespec now{0, 0};
    while (sigtimedwait(&set, nullptr, &now) > 0) {
    }
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

bool stop_signals::pending() {
    sigset_t waiting;
    sigpending(&waiting);
    m_stopped =
        m_stopped || sigismember(&waiting, SIGINT) == 1 || sigismember(&waiting, SIGTERM) == 1;
    return m_stopped;
}

bool stop_signals::wait(std::chrono::seconds time) {
    const sigset_t set = stop_set();
    const timespec timeout{static_cast<time_t>(time.count()), 0};
    m_stopped = m_stopped || sigtimedwait(&set, nullptr, &timeout) > 0;
    return m_stopped;
}

} // namespace db

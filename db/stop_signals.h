#pragma once
// Ctrl-C and SIGTERM end an ingest cleanly: they are held back from the start, asked about
// after each transaction, and waited for between passes of --watch.
#include <chrono>

namespace db {

class stop_signals {
public:
    stop_signals();
    ~stop_signals();
    stop_signals(const stop_signals&) = delete;
    stop_signals& operator=(const stop_signals&) = delete;

    bool pending();
    // Waits up to `time`; true when a stop came.
    bool wait(std::chrono::seconds time);

private:
    bool m_stopped = false;
};

} // namespace db

#pragma once
// The control board's writes waiting for their time, so that the event loop keeps serving
// requests and commands while a delayed reply is pending.
#include "reply_faults.h"

#include <chrono>
#include <deque>
#include <vector>

namespace sim {

class write_queue {
public:
    using time_point = std::chrono::steady_clock::time_point;

    // The writes for a request that ended at `request_end`. A reply never overtakes the
    // reply to an earlier request (it is held back, keeping the gaps between its parts);
    // an echo or a dropped reply goes out at once.
    void add(time_point request_end, std::vector<line_write> writes);

    // Milliseconds until the next write is due (rounded up, 0 when overdue), -1 for none.
    int wait_ms(time_point now) const;

    // The writes due by `now`, in order, taken from the queue.
    std::vector<line_write> take_due(time_point now);

private:
    struct entry {
        time_point due;
        line_write write;
    };
    std::deque<entry> pending; // by due time; equal times in the order added
    time_point last_reply{};
};

} // namespace sim

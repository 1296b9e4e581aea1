#pragma once
// The tester watch: ticks left until a run that never printed its end marker is reported.
#include <functional>
#include <mutex>

namespace bridge {

// Counted down on the UI thread and cancelled from the reader thread. One lock orders the
// two: an expiry reported before a cancel is posted before the reader posts the run's end,
// and none is reported after it, so "qel_paralyzed" never follows "qel_end".
class run_watch {
public:
    void start(int ticks);
    void cancel();
    // One tick; when this tick runs the watch out, `report` runs under the lock.
    void count_down(const std::function<void()>& report);
    int left() const;

private:
    mutable std::mutex lock;
    int ticks = 0;
};

} // namespace bridge

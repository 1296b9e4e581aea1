#pragma once
// The benchmarks time each side as a child process of its own (the bench re-run with a mode
// argument), so that its time and peak memory are its own.
#include <functional>
#include <string>
#include <vector>

namespace bench {

struct child_run {
    double seconds = 0;
    double peak_mib = 0;
};

// Runs `self` with `arguments`; exits the bench when the child fails.
child_run run_child(const char* self, const std::vector<std::string>& arguments);
// The least time and the largest peak of `runs` runs; `before` readies each run, untimed.
child_run best_of(int runs, const char* self, const std::vector<std::string>& arguments,
                  const std::function<void()>& before = {});
// Called by the child at its end: sends its peak resident memory to the bench.
void tell_peak();

} // namespace bench

#pragma once
// One run of the tester's script as it goes on the line, with the faults set for it: a
// long line and an inserted line before the script, the line ending in force as each line
// is printed, and a cut halfway through a line.
#include "script.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// The faults that take effect once, on the next run.
struct run_extras {
    std::size_t long_line = 0;         // bytes of a line of digits before the script
    std::optional<std::string> insert; // a line of these bytes before the script
    std::size_t cut = 0;               // the printed line (from 1) to stop halfway through
};

struct run_step {
    std::string bytes; // a line with its ending, or part of one; empty for a pause
    int pause_ms = 0;
    std::string note; // the faults it carries, said as it is written; empty for none
};

class script_run {
public:
    script_run(const std::vector<script_step>& script, run_extras extras);

    // The next step, its line ended with `eol`; nullopt once the run is over.
    std::optional<run_step> next(std::string_view eol);

    // Whether the run was cut short.
    bool cut() const { return stopped; }

private:
    struct planned {
        script_step step;
        std::string note;
    };
    std::vector<planned> steps;
    std::size_t index = 0;
    std::size_t cut_at;
    std::size_t printed = 0;
    std::string last_eol = "\r\n";
    bool stopped = false;
};

// The name of a line ending as commands give it ("crlf", "lf", "cr"), empty for none.
std::string eol_name(std::string_view eol);

} // namespace sim

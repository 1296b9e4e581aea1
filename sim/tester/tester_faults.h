#pragma once
// The faults the tester simulator takes as commands at run time.
#include "run.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class tester_faults {
public:
    // One command line: what to print on taking it, or nullopt when it is not a fault
    // command or is malformed (and then nothing changes).
    std::optional<std::string> take(std::string_view command);

    // The ending of every line printed from now on.
    const std::string& eol() const { return line_end; }

    // Whether a start command is to be ignored; counts it when so.
    bool ignore_start();
    int ignores_left() const { return ignore; }

    // The one-shot faults of the run that starts now, which no longer wait.
    run_extras take_extras();

    // Bytes of "raw" commands that are still to be written.
    std::vector<std::uint8_t> take_raw();

private:
    std::string line_end = "\r\n";
    int ignore = 0;
    run_extras extras;
    std::vector<std::uint8_t> raw;
};

} // namespace sim

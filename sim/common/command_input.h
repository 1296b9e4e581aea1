#pragma once
// The fault commands a simulator takes on stdin, one a line. Stdin may be a fifo, a
// terminal, /dev/null or not open at all; once it ends the simulator goes on without it.
#include <string>
#include <vector>

namespace sim {

class command_input {
public:
    // Construct before opening any other file: when stdin is not open, /dev/null takes its
    // place, so the serial line never lands on descriptor 0 and is read as commands.
    command_input();

    // The descriptor to poll, -1 once stdin has ended.
    int fd() const { return live ? 0 : -1; }

    // After poll flagged fd(): the lines now complete, without their line ends; empty lines
    // are left out, and at the end of input an unfinished last line counts too.
    std::vector<std::string> take_lines();

private:
    void finish_line(std::vector<std::string>& lines);

    bool live = true;
    std::string partial;
};

} // namespace sim

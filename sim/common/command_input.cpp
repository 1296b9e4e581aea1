#include "command_input.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace sim {

command_input::command_input() {
    if (fcntl(0, F_GETFD) == -1) {
        open("/dev/null", O_RDONLY); // the lowest free descriptor: 0
        live = false;
    }
}

std::vector<std::string> command_input::take_lines() {
    std::vector<std::string> lines;
    char buffer[256];
    ssize_t got = read(0, buffer, sizeof buffer);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        return lines;
    }
    if (got <= 0) {
        live = false;
        finish_line(lines);
        return lines;
    }
    for (ssize_t i = 0; i < got; ++i) {
        if (buffer[i] == '\n') {
            finish_line(lines);
        } else {
            partial += buffer[i];
        }
    }
    return lines;
}

void command_input::finish_line(std::vector<std::string>& lines) {
    if (partial.ends_with('\r')) {
        partial.pop_back();
    }
    if (!partial.empty()) {
        lines.push_back(partial);
    }
    partial.clear();
}

} // namespace sim

// Tester simulator: on a serial line (one end of a pseudo-terminal pair) it waits for the
// start command "cmdst()\r" and then prints its script, line by line with CR LF, at most
// at the line rate. Every start command starts the script again from the top.
//
//   sim_tester <device> <script> [--cps <chars per second>] [--split <n>]
//              [--split-pause <ms>]
//
// --cps         pace, at most and by default 10472 (115200 baud, 11 bits a character)
// --split n     write each line in pieces of n bytes with a pause between them, so the
//               receiver gets lines split across reads
// --split-pause the pause between the pieces of a line, 20 ms unless given
//
// Commands on stdin, one a line (stdin may also be closed or /dev/null):
//   eol crlf|lf|cr   the ending of every line printed from now on
//   ignore <n>       the next n start commands are ignored
//   cut <n>          the next run stops halfway through its n-th printed line
//   long <n>         the next run first prints a line of n digits
//   insert <hex>     the next run prints a line of these bytes before its script (after a
//                    long line), hex pairs with or without blanks: "insert 41 00 42 D6 D0"
//   raw <hex>        writes these bytes now, run or no run
// Each command taken is printed ("fault ..."), and so is each fault as it reaches the
// line ("applied ...", bytes in hex); anything else gets "unknown command: <text>".
#include "command_input.h"
#include "command_text.h"
#include "run.h"
#include "script.h"
#include "stamp.h"
#include "tester_faults.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

using clock_type = std::chrono::steady_clock;
constexpr int kLineRate = 115200 / 11;
constexpr std::size_t kBlock = 64;

struct options {
    const char* device = nullptr;
    const char* script = nullptr;
    int cps = kLineRate;
    std::size_t split = 0;
    int split_pause_ms = 20;
};

bool parse(int argc, char** argv, options& o) {
    if (argc < 3) {
        return false;
    }
    o.device = argv[1];
    o.script = argv[2];
    for (int i = 3; i + 1 < argc; i += 2) {
        std::string name = argv[i];
        int value = std::atoi(argv[i + 1]);
        if (name == "--cps" && value > 0) {
            o.cps = std::min(value, kLineRate);
        } else if (name == "--split" && value > 0) {
            o.split = static_cast<std::size_t>(value);
        } else if (name == "--split-pause" && value >= 0) {
            o.split_pause_ms = value;
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

// Raw 8N2 at 115200, as the tester's port is set up.
int open_line(const char* device) {
    int fd = open(device, O_RDWR | O_NOCTTY);
    if (fd < 0) {
        return -1;
    }
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tio.c_cflag |= CSTOPB | CLOCAL | CREAD;
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

class tester {
public:
    tester(int line, const options& o, std::vector<sim::script_step> steps)
        : line(line), o(o), steps(std::move(steps)) {}

    void start(clock_type::time_point now) {
        if (faults.ignore_start()) {
            sim::say("applied ignore: start command ignored, " +
                     std::to_string(faults.ignores_left()) + " more to ignore");
            return;
        }
        sim::say("start");
        run.emplace(steps, faults.take_extras());
        out.clear();
        pos = 0;
        lines = 0;
        bytes = 0;
        due = now;
    }

    // One stdin line; false for an unknown command.
    bool on_command(const std::string& text) {
        auto said = faults.take(text);
        if (!said) {
            return false;
        }
        sim::say(*said);
        auto raw = faults.take_raw();
        if (!raw.empty()) {
            if (write(line, raw.data(), raw.size()) < 0) {
                sim::say(std::string("write failed: ") + std::strerror(errno));
            }
            sim::say("applied raw: " + sim::hex_of(raw));
        }
        return true;
    }

    // How long poll may sleep before the next write is due; -1 when idle.
    int wait_ms(clock_type::time_point now) const {
        if (!run) {
            return -1;
        }
        auto left = std::chrono::ceil<std::chrono::milliseconds>(due - now).count();
        return static_cast<int>(std::max<long long>(left, 0));
    }

    void step(clock_type::time_point now) {
        if (!run || now < due) {
            return;
        }
        if (pos == out.size() && !next_line(now)) {
            return;
        }
        std::size_t piece = std::min(out.size() - pos, o.split > 0 ? o.split : kBlock);
        if (write(line, out.data() + pos, piece) < 0) {
            sim::say(std::string("write failed: ") + std::strerror(errno));
        }
        pos += piece;
        bytes += piece;
        auto pace = std::chrono::microseconds(static_cast<long long>(piece) * 1000000 / o.cps);
        due = std::max(due, now) + pace;
        if (o.split > 0 && pos < out.size()) {
            due += std::chrono::milliseconds(o.split_pause_ms);
        }
    }

private:
    // Takes the next step of the run; false when there is nothing to write now.
    bool next_line(clock_type::time_point now) {
        auto s = run->next(faults.eol());
        if (!s) {
            if (!run->cut()) {
                sim::say("done " + std::to_string(lines) + " lines " + std::to_string(bytes) +
                         " bytes");
            }
            run.reset();
            return false;
        }
        if (s->pause_ms > 0) {
            due = now + std::chrono::milliseconds(s->pause_ms);
            return false;
        }
        if (!s->note.empty()) {
            sim::say("applied " + s->note);
        }
        out = std::move(s->bytes);
        pos = 0;
        ++lines;
        return true;
    }

    int line;
    const options& o;
    std::vector<sim::script_step> steps;
    sim::tester_faults faults;
    std::optional<sim::script_run> run; // none when idle
    std::string out;
    std::size_t pos = 0;
    std::size_t lines = 0;
    std::size_t bytes = 0;
    clock_type::time_point due;
};

} // namespace

int main(int argc, char** argv) {
    options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: sim_tester <device> <script> [--cps <chars per second>] "
                             "[--split <n>] [--split-pause <ms>]\n");
        return 2;
    }
    sim::command_input commands;
    auto steps = sim::load_script(o.script);
    if (!steps) {
        std::fprintf(stderr, "can not read script %s\n", o.script);
        return 1;
    }
    int line = open_line(o.device);
    if (line < 0) {
        std::fprintf(stderr, "can not open %s: %s\n", o.device, std::strerror(errno));
        return 1;
    }
    tester device(line, o, std::move(*steps));
    sim::start_watch watch;
    sim::say(std::string("ready ") + o.device);
    for (;;) {
        pollfd fds[2] = {{line, POLLIN, 0}, {commands.fd(), POLLIN, 0}};
        if (poll(fds, 2, device.wait_ms(clock_type::now())) < 0 && errno != EINTR) {
            break;
        }
        if (fds[0].revents != 0) {
            std::uint8_t buffer[256];
            ssize_t got = read(line, buffer, sizeof buffer);
            if (got <= 0) {
                sim::say("line closed");
                break;
            }
            for (ssize_t i = 0; i < got; ++i) {
                if (watch.feed(buffer[i])) {
                    device.start(clock_type::now());
                }
            }
        }
        if (fds[1].revents != 0) {
            for (const auto& text : commands.take_lines()) {
                if (!device.on_command(text)) {
                    sim::say("unknown command: " + text);
                }
            }
        }
        device.step(clock_type::now());
    }
    close(line);
    return 0;
}

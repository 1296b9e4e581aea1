// Control-board simulator: the fixture's Modbus RTU slave on a serial line (one end of a
// pseudo-terminal pair), units 1 and 2 at holding register 0x0012, 19200 8N2.
//
//   sim_control_board <device>
//
// Commands on stdin, one a line: "clamp 1" / "clamp 0" closes or opens the clamp input,
// "silent 1" / "silent 0" stops or resumes answering. Every register change is printed on
// stdout with a time stamp, as are rejected requests.
#include "stamp.h"
#include "unit_server.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A request ends when the line has been quiet this long (3.5 characters at 19200 baud
// are 2 ms; a pseudo-terminal needs some slack).
constexpr int kFrameGapMs = 5;

class board {
public:
    explicit board(int line) : line(line) {}

    void on_frame(const std::vector<std::uint8_t>& request) {
        std::uint16_t status = units.status();
        std::uint16_t power = units.power();
        auto reply = units.handle(request);
        if (!units.rejected.empty()) {
            sim::say("rejected " + units.rejected);
        }
        if (!reply.empty() && write(line, reply.data(), reply.size()) < 0) {
            sim::say(std::string("write failed: ") + std::strerror(errno));
        }
        report(status, power);
    }

    // One stdin line; false for an unknown command.
    bool on_command(const std::string& text) {
        std::istringstream in(text);
        std::string word;
        int on = -1;
        in >> word >> on;
        if ((word != "clamp" && word != "silent") || (on != 0 && on != 1)) {
            return false;
        }
        std::uint16_t status = units.status();
        if (word == "clamp") {
            units.set_clamp(on == 1);
        } else {
            units.set_silent(on == 1);
            sim::say("silent=" + std::to_string(on));
        }
        report(status, units.power());
        return true;
    }

    void report_all() {
        sim::say(sim::describe_status(units.status()));
        sim::say(sim::describe_power(units.power()));
    }

private:
    void report(std::uint16_t status, std::uint16_t power) {
        if (units.status() != status) {
            sim::say(sim::describe_status(units.status()));
        }
        if (units.power() != power) {
            sim::say(sim::describe_power(units.power()));
        }
    }

    int line;
    sim::unit_server units;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sim_control_board <device>\n");
        return 2;
    }
    modbus_t* serial = modbus_new_rtu(argv[1], 19200, 'N', 8, 2);
    if (serial == nullptr || modbus_connect(serial) != 0) {
        std::fprintf(stderr, "can not open %s: %s\n", argv[1], modbus_strerror(errno));
        return 1;
    }
    int line = modbus_get_socket(serial);
    board fixture(line);
    fixture.report_all();
    sim::say(std::string("ready ") + argv[1]);

    std::vector<std::uint8_t> request;
    std::string command;
    bool stdin_open = true;
    for (;;) {
        pollfd watch[2] = {{line, POLLIN, 0}, {stdin_open ? 0 : -1, POLLIN, 0}};
        int ready = poll(watch, 2, request.empty() ? -1 : kFrameGapMs);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready == 0) {
            fixture.on_frame(request);
            request.clear();
            continue;
        }
        // A hang-up comes without POLLIN; the read then tells that the line is gone.
        if ((watch[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            std::uint8_t buffer[256];
            ssize_t got = read(line, buffer, sizeof buffer);
            if (got > 0) {
                request.insert(request.end(), buffer, buffer + got);
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                sim::say("line closed");
                break;
            }
        }
        if ((watch[1].revents & (POLLIN | POLLHUP)) != 0) {
            char c;
            if (read(0, &c, 1) != 1) {
                stdin_open = false; // keep serving without commands
            } else if (c != '\n') {
                command += c;
            } else {
                if (!fixture.on_command(command)) {
                    sim::say("unknown command: " + command);
                }
                command.clear();
            }
        }
    }
    modbus_close(serial);
    modbus_free(serial);
    return 0;
}

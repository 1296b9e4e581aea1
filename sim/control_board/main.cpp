// Control-board simulator: the fixture's Modbus RTU slave on a serial line (one end of a
// pseudo-terminal pair), units 1 and 2 at holding register 0x0012, 19200 8N2.
//
//   sim_control_board <device>
//
// Commands on stdin, one a line:
//   clamp 0|1         opens or closes the clamp input
//   silent 0|1        stops or resumes answering
//   delay <ms>        each reply written ms after its request (0 ends it)
//   split <ms>        each reply written in two halves ms apart (0 ends it)
//   echo 0|1          each request written back on the line before its reply
//   crc <n>           the next n replies with a corrupted CRC
//   wrong unit        the next reply from unit 3 (valid CRC)
//   wrong function    the next reply with another function code (valid CRC)
//   exception <n>     the next n requests answered with exception 02, registers unchanged
//   drop <n>          the next n requests carried out but not answered
//   noise <n>         n bytes that are no frame right after the next reply
// Every register change is printed on stdout with a time stamp, as are rejected requests,
// each fault command taken ("fault ...") and each write a fault shaped ("applied ...", with
// the bytes in hex). Anything else is answered with "unknown command: <text>".
#include "command_input.h"
#include "command_text.h"
#include "reply_faults.h"
#include "stamp.h"
#include "unit_server.h"
#include "write_queue.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

using clock_type = std::chrono::steady_clock;

// A request ends when the line has been quiet this long (3.5 characters at 19200 baud
// are 2 ms; a pseudo-terminal needs some slack).
constexpr auto kFrameGap = std::chrono::milliseconds(5);

class board {
public:
    explicit board(int line) : line(line) {}

    void on_frame(const sim::frame& request, clock_type::time_point now) {
        std::uint16_t status = units.status();
        std::uint16_t power = units.power();
        auto writes = faults.answer(request, [this](const sim::frame& handed) {
            auto reply = units.handle(handed);
            if (!units.rejected.empty()) {
                sim::say("rejected " + units.rejected);
            }
            return reply;
        });
        queue.add(now, std::move(writes));
        write_due(now);
        report(status, power);
    }

    // Writes what is due by now.
    void write_due(clock_type::time_point now) {
        for (const auto& write : queue.take_due(now)) {
            if (write.kind != sim::line_write::dropped &&
                ::write(line, write.bytes.data(), write.bytes.size()) < 0) {
                sim::say(std::string("write failed: ") + std::strerror(errno));
            }
            if (!write.fault.empty()) {
                sim::say("applied " + write.fault + ": " + sim::hex_of(write.bytes));
            }
        }
    }

    int wait_ms(clock_type::time_point now) const { return queue.wait_ms(now); }

    // One stdin line; false for an unknown command.
    bool on_command(const std::string& text) {
        if (auto said = faults.take(text)) {
            sim::say(*said);
            return true;
        }
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
    sim::reply_faults faults;
    sim::write_queue queue;
};

// The sooner of two poll timeouts, -1 meaning none.
int sooner(int a, int b) {
    return a < 0 ? b : b < 0 ? a : std::min(a, b);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sim_control_board <device>\n");
        return 2;
    }
    sim::command_input commands;
    modbus_t* serial = modbus_new_rtu(argv[1], 19200, 'N', 8, 2);
    if (serial == nullptr || modbus_connect(serial) != 0) {
        std::fprintf(stderr, "can not open %s: %s\n", argv[1], modbus_strerror(errno));
        return 1;
    }
    int line = modbus_get_socket(serial);
    board fixture(line);
    fixture.report_all();
    sim::say(std::string("ready ") + argv[1]);

    sim::frame request;
    clock_type::time_point last_byte;
    for (;;) {
        auto now = clock_type::now();
        int timeout = fixture.wait_ms(now);
        if (!request.empty()) {
            auto gap = std::chrono::ceil<std::chrono::milliseconds>(last_byte + kFrameGap - now);
            timeout = sooner(timeout, static_cast<int>(std::max<long long>(gap.count(), 0)));
        }
        pollfd watch[2] = {{line, POLLIN, 0}, {commands.fd(), POLLIN, 0}};
        if (poll(watch, 2, timeout) < 0 && errno != EINTR) {
            break;
        }
        // A hang-up comes without POLLIN; the read then tells that the line is gone.
        if ((watch[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            std::uint8_t buffer[256];
            ssize_t got = read(line, buffer, sizeof buffer);
            if (got > 0) {
                request.insert(request.end(), buffer, buffer + got);
                last_byte = clock_type::now();
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                sim::say("line closed");
                break;
            }
        }
        if (watch[1].revents != 0) {
            for (const auto& text : commands.take_lines()) {
                if (!fixture.on_command(text)) {
                    sim::say("unknown command: " + text);
                }
            }
        }
        now = clock_type::now();
        if (!request.empty() && now - last_byte >= kFrameGap) {
            fixture.on_frame(request, now);
            request.clear();
        }
        fixture.write_due(now);
    }
    modbus_close(serial);
    modbus_free(serial);
    return 0;
}

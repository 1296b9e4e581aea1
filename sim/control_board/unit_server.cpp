#include "unit_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace sim {

namespace {

constexpr int kRegister = 0x0012;
constexpr std::uint16_t kClampBit = 0x0010;

modbus_mapping_t* one_register() {
    modbus_mapping_t* map = modbus_mapping_new_start_address(0, 0, 0, 0, kRegister, 1, 0, 0);
    if (map == nullptr) {
        throw std::runtime_error("modbus_mapping_new_start_address failed");
    }
    return map;
}

// A socket pair that closes itself.
struct pair_of_sockets {
    int fd[2] = {-1, -1};
    pair_of_sockets() {
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, fd) != 0) {
            throw std::runtime_error("socketpair failed");
        }
    }
    ~pair_of_sockets() {
        close(fd[0]);
        close(fd[1]);
    }
};

} // namespace

unit_server::unit_server()
    : context(modbus_new_rtu("/dev/null", 19200, 'N', 8, 2)), status_unit(one_register()),
      power_unit(one_register()) {
    if (context == nullptr) {
        throw std::runtime_error("modbus_new_rtu failed");
    }
    modbus_set_byte_timeout(context, 0, 50000);
}

unit_server::~unit_server() {
    modbus_set_socket(context, -1);
    modbus_free(context);
    modbus_mapping_free(status_unit);
    modbus_mapping_free(power_unit);
}

// libmodbus serves one unit per context and reads from a descriptor. So each request is
// handed to it through a socket pair, with the unit set from the request's address: the
// framing, CRC and replies are all libmodbus's own.
std::vector<std::uint8_t> unit_server::handle(const std::vector<std::uint8_t>& request) {
    rejected.clear();
    if (silent || request.empty()) {
        return {};
    }
    int unit = request[0];
    modbus_mapping_t* map = unit == 1 ? status_unit : unit == 2 ? power_unit : nullptr;
    if (map == nullptr) {
        rejected = "no unit " + std::to_string(unit);
        return {};
    }
    pair_of_sockets pair;
    if (write(pair.fd[1], request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
        rejected = "socket write failed";
        return {};
    }
    shutdown(pair.fd[1], SHUT_WR);
    modbus_set_slave(context, unit);
    modbus_set_socket(context, pair.fd[0]);

    std::vector<std::uint8_t> reply;
    std::uint8_t indication[MODBUS_RTU_MAX_ADU_LENGTH];
    int length = modbus_receive(context, indication);
    if (length <= 0) {
        rejected = length < 0 ? modbus_strerror(errno) : "ignored";
    } else if (modbus_reply(context, indication, length, map) < 0) {
        rejected = modbus_strerror(errno);
    } else {
        std::uint8_t buffer[MODBUS_RTU_MAX_ADU_LENGTH];
        ssize_t got;
        while ((got = recv(pair.fd[1], buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
            reply.insert(reply.end(), buffer, buffer + got);
        }
    }
    modbus_set_socket(context, -1);
    set_clamp(clamp);
    return reply;
}

void unit_server::set_clamp(bool closed) {
    clamp = closed;
    std::uint16_t& value = status_unit->tab_registers[0];
    value = static_cast<std::uint16_t>(closed ? value | kClampBit : value & ~kClampBit);
}

std::uint16_t unit_server::status() const {
    return status_unit->tab_registers[0];
}

std::uint16_t unit_server::power() const {
    return power_unit->tab_registers[0];
}

std::string describe_status(std::uint16_t value) {
    char text[96];
    std::snprintf(
        text, sizeof text, "unit=1 value=0x%04X clamp=%d pressurize=%d allpass=%d fail=%d", value,
        (value & 0x10) != 0, (value & 0x80) != 0, (value & 0x20) != 0, (value & 0x40) != 0);
    return text;
}

std::string describe_power(std::uint16_t value) {
    char text[64];
    std::snprintf(text, sizeof text, "unit=2 value=0x%04X on=", value);
    std::string out = text;
    std::string on;
    for (int station = 0; station < 4; ++station) {
        if ((value & (0x10 << station)) != 0) {
            on += (on.empty() ? "" : ",") + std::to_string(station + 1) + "#";
        }
    }
    return out + (on.empty() ? "none" : on);
}

} // namespace sim

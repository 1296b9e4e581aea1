#pragma once
// The control board's two Modbus units, served by libmodbus: unit 1 holds the status
// register (clamp input, pressurize output, two lamps), unit 2 the station power register,
// both at holding register 0x0012.
#include <modbus/modbus.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class unit_server {
public:
    unit_server();
    ~unit_server();
    unit_server(const unit_server&) = delete;
    unit_server& operator=(const unit_server&) = delete;

    // One request as it came off the line; the reply to send back, empty for none. A
    // request libmodbus rejects (bad CRC, unknown unit, cut short) gets no reply, and
    // `rejected` says why.
    std::vector<std::uint8_t> handle(const std::vector<std::uint8_t>& request);

    // The clamp is an input: writes to the status register do not change it.
    void set_clamp(bool closed);
    void set_silent(bool quiet) { silent = quiet; }

    std::uint16_t status() const;
    std::uint16_t power() const;
    std::string rejected;

private:
    modbus_t* context;
    modbus_mapping_t* status_unit;
    modbus_mapping_t* power_unit;
    bool clamp = false;
    bool silent = false;
};

// "unit=1 value=0x0090 clamp=1 pressurize=1 allpass=0 fail=0"
std::string describe_status(std::uint16_t value);
// "unit=2 value=0x0030 on=1#,2#" ("on=none" when nothing is powered)
std::string describe_power(std::uint16_t value);

} // namespace sim

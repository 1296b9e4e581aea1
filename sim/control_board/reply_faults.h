#pragma once
// Byte-level faults on the control board's line, set by commands at run time. They sit
// between the Modbus side, which makes a correct reply, and the serial line: one request
// and its reply go in, the writes for the line come out, each due some time after the
// request.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

using frame = std::vector<std::uint8_t>;

struct line_write {
    enum kind_type {
        echo,    // the request written back at once, as a two-wire adapter hears itself
        reply,   // the reply or a part of it
        noise,   // bytes that are no frame, right after a reply
        dropped, // a reply that is not written, only reported
    };
    kind_type kind = reply;
    std::chrono::milliseconds after{0}; // after the request
    frame bytes;
    std::string fault; // the faults it carries, for the log; empty for a plain reply
};

class reply_faults {
public:
    // One command line: what to print on taking it, or nullopt when it is not a fault
    // command or is malformed (and then nothing changes).
    std::optional<std::string> take(std::string_view command);

    // One request off the line: `serve` is the Modbus side, giving the reply or nothing.
    // With an exception pending, it is handed the request with its register address moved
    // out of the map, so the Modbus side answers with exception 02 and changes nothing.
    std::vector<line_write> answer(const frame& request,
                                   const std::function<frame(const frame&)>& serve);

private:
    void shape(frame& reply, std::vector<std::string>& applied);
    frame noise_bytes(int count);

    int delay_ms = 0;
    int split_ms = 0;
    int echoing = 0;
    int crc = 0;
    int exception = 0;
    int drop = 0;
    int noise_count = 0;
    bool wrong_unit = false;
    bool wrong_function = false;
    std::uint32_t noise_state = 0x2545F491;
};

} // namespace sim

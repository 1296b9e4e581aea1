#include "reply_faults.h"

#include "command_text.h"
#include "crc16.h"

namespace sim {

namespace {

using std::chrono::milliseconds;

constexpr int kMostCount = 1000000;
constexpr int kMostMs = 60000;
constexpr int kMostNoise = 4096;
constexpr std::uint8_t kWrongUnit = 3;
constexpr std::uint8_t kCrcFlip = 0x5A;

// A neighbouring function of the same kind: read holding registers (03) becomes read input
// registers (04), write register (06) write coil (05); any other code flips its lowest bit.
std::uint8_t other_function(std::uint8_t code) {
    if (code == 0x03) {
        return 0x04;
    }
    if (code == 0x06) {
        return 0x05;
    }
    return code ^ 0x01;
}

// Points a well-formed request's register address past the one register the board maps,
// so libmodbus itself answers with exception 02; a broken request stays as it is.
bool move_out_of_map(frame& request) {
    if (request.size() < 8 || !crc_valid(request)) {
        return false;
    }
    request[2] = 0xFF;
    request[3] = 0xFF;
    seal(request);
    return true;
}

} // namespace

std::optional<std::string> reply_faults::take(std::string_view command) {
    auto words = words_of(command);
    if (words.size() != 2) {
        return std::nullopt;
    }
    if (words[0] == "wrong" && (words[1] == "unit" || words[1] == "function")) {
        (words[1] == "unit" ? wrong_unit : wrong_function) = true;
        return "fault wrong " + words[1];
    }
    struct setting {
        std::string_view name;
        int* value;
        int most;
    };
    const setting settings[] = {
        {"delay", &delay_ms, kMostMs},
        {"split", &split_ms, kMostMs},
        {"echo", &echoing, 1},
        {"crc", &crc, kMostCount},
        {"exception", &exception, kMostCount},
        {"drop", &drop, kMostCount},
        {"noise", &noise_count, kMostNoise},
    };
    for (const auto& s : settings) {
        auto n = number_of(words[1], s.most);
        if (words[0] == s.name && n) {
            *s.value = *n;
            return "fault " + words[0] + " " + std::to_string(*n);
        }
    }
    return std::nullopt;
}

std::vector<line_write> reply_faults::answer(const frame& request,
                                             const std::function<frame(const frame&)>& serve) {
    std::vector<line_write> writes;
    if (echoing != 0) {
        writes.push_back({line_write::echo, milliseconds(0), request, "echo"});
    }
    std::vector<std::string> applied;
    frame handed = request;
    if (exception > 0 && move_out_of_map(handed)) {
        --exception;
        applied.push_back("exception");
    }
    frame reply = serve(handed);
    if (reply.empty()) {
        return writes;
    }
    if (drop > 0) {
        --drop;
        applied.push_back("drop, not written");
        writes.push_back({line_write::dropped, milliseconds(0), reply, joined(applied)});
        return writes;
    }
    shape(reply, applied);
    milliseconds at(delay_ms);
    if (delay_ms > 0) {
        applied.push_back("delay " + std::to_string(delay_ms) + " ms");
    }
    if (split_ms > 0 && reply.size() > 1) {
        applied.push_back("split " + std::to_string(split_ms) + " ms");
        auto middle = reply.begin() + static_cast<std::ptrdiff_t>(reply.size() / 2);
        std::string fault = joined(applied);
        writes.push_back({line_write::reply, at, frame(reply.begin(), middle), fault + ", part 1"});
        at += milliseconds(split_ms);
        writes.push_back({line_write::reply, at, frame(middle, reply.end()), fault + ", part 2"});
    } else {
        writes.push_back({line_write::reply, at, reply, joined(applied)});
    }
    if (noise_count > 0) {
        writes.push_back({line_write::noise, at, noise_bytes(noise_count), "noise"});
        noise_count = 0;
    }
    return writes;
}

// The faults that change a reply's bytes.
void reply_faults::shape(frame& reply, std::vector<std::string>& applied) {
    if (wrong_unit) {
        reply[0] = kWrongUnit;
        applied.push_back("wrong unit");
        wrong_unit = false;
    }
    if (wrong_function) {
        reply[1] = other_function(reply[1]);
        applied.push_back("wrong function");
        wrong_function = false;
    }
    seal(reply); // valid again for the changed bytes; unchanged otherwise
    if (crc > 0 && reply.size() >= 2) {
        --crc;
        reply[reply.size() - 2] ^= kCrcFlip;
        reply[reply.size() - 1] ^= kCrcFlip;
        applied.push_back("crc");
    }
}

// Pseudo-random bytes (xorshift32), never ending in a valid CRC.
frame reply_faults::noise_bytes(int count) {
    frame bytes;
    for (int i = 0; i < count; ++i) {
        noise_state ^= noise_state << 13;
        noise_state ^= noise_state >> 17;
        noise_state ^= noise_state << 5;
        bytes.push_back(static_cast<std::uint8_t>(noise_state >> 24));
    }
    if (crc_valid(bytes)) {
        bytes.back() ^= 0xFF;
    }
    return bytes;
}

} // namespace sim

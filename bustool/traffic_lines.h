#pragma once
// The lines of the traffic list: the echo of each send, and the line of each notification.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace probe {

// "Send": type word and value in lower-case hexadecimal, six spaces apart.
std::string value_echo(std::uint32_t type, std::uint32_t value);
// "Send Str": type word, length and the text as typed (before its escapes are converted).
std::string string_echo(std::uint32_t type, std::string_view typed);
// "Send Arr": type word, byte count and each byte.
std::string array_echo(std::uint32_t type, const std::vector<std::uint8_t>& bytes);

// Milliseconds since the previous notification, in unsigned 32-bit arithmetic; the first
// gap is the tick count itself.
class TickGap {
public:
    std::uint32_t next(std::uint32_t now);

private:
    std::uint32_t last_ = 0;
};

// Payload bytes of a handle; empty when the library gives none.
using FetchPayload = std::function<std::string_view(std::uint32_t handle)>;

// Line of one notification: a String payload as text with its control characters shown as
// backslash pairs, an Array payload as its count and first 18 bytes, anything else as the
// signed value. fetch is called only for a payload.
std::string incoming_line(std::uint32_t gap, std::uint32_t type, std::uint32_t data,
                          const FetchPayload& fetch);

} // namespace probe

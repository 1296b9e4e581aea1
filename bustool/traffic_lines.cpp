#include "traffic_lines.h"

#include "escapes.h"
#include "type_word.h"

#include <cstdarg>
#include <cstdio>

namespace probe {

namespace {

constexpr std::size_t kShownArrayBytes = 18;

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, pattern, args);
    va_end(args);
    std::string text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, pattern, again);
    va_end(again);
    return text;
}

void append_bytes(std::string& line, std::string_view bytes) {
    for (char b : bytes) {
        line += format(" %02X", static_cast<unsigned>(static_cast<unsigned char>(b)));
    }
}

bool has_value_direction(std::uint32_t type) {
    return (type & (bus::kReadValue | bus::kWriteValue)) != 0;
}

} // namespace

std::string value_echo(std::uint32_t type, std::uint32_t value) {
    return format("%x      %x", static_cast<unsigned>(type), static_cast<unsigned>(value));
}

std::string string_echo(std::uint32_t type, std::string_view typed) {
    return format("%x(%3u) ", static_cast<unsigned>(type), static_cast<unsigned>(typed.size())) +
           std::string(typed);
}

std::string array_echo(std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
    std::string line =
        format("%x(%3u)", static_cast<unsigned>(type), static_cast<unsigned>(bytes.size()));
    append_bytes(line, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return line;
}

std::uint32_t TickGap::next(std::uint32_t now) {
    std::uint32_t gap = now - last_;
    last_ = now;
    return gap;
}

std::string incoming_line(std::uint32_t gap, std::uint32_t type, std::uint32_t data,
                          const FetchPayload& fetch) {
    if ((type & bus::kKindString) != 0 && has_value_direction(type)) {
        std::string_view payload = fetch(data);
        std::string_view text = payload.substr(0, payload.find('\0'));
        return escape_controls(format("%05u %x[%3u] ", static_cast<unsigned>(gap),
                                      static_cast<unsigned>(type),
                                      static_cast<unsigned>(payload.size())) +
                               std::string(text));
    }
    if ((type & bus::kKindArray) != 0 && has_value_direction(type)) {
        std::string_view payload = fetch(data);
        std::string line =
            format("%05u %x(%3u) ", static_cast<unsigned>(gap), static_cast<unsigned>(type),
                   static_cast<unsigned>(payload.size()));
        append_bytes(line, payload.substr(0, kShownArrayBytes));
        return line;
    }
    return format("%05u %x      %d", static_cast<unsigned>(gap), static_cast<unsigned>(type),
                  static_cast<int>(static_cast<std::int32_t>(data)));
}

} // namespace probe

#include "run_log_line.h"

#include <cinttypes>
#include <cstdio>

namespace progtool {

namespace {

// From 1601-01-01 to 1970-01-01 in milliseconds.
constexpr std::int64_t kEpochDifferenceMs = 11644473600000;

std::string seconds(std::int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%" PRId64 ".%03" PRId64, ms / 1000, ms % 1000);
    return text;
}

std::string head(std::string_view event, std::uint32_t pid, std::int64_t at_ms) {
    return std::string(event) + " pid=" + std::to_string(pid) + " at=" + seconds(at_ms);
}

} // namespace

std::int64_t unix_ms(std::uint64_t file_time) {
    return static_cast<std::int64_t>(file_time / 10000) - kEpochDifferenceMs;
}

std::string start_line(std::uint32_t pid, std::int64_t created_ms, std::int64_t at_ms) {
    return head("start", pid, at_ms) + " created=" + seconds(created_ms) + "\n";
}

std::string took_line(std::uint32_t pid, std::int64_t at_ms, std::string_view word) {
    std::string shown = word.empty() ? "?" : std::string(word);
    for (char& c : shown) {
        if (c <= ' ' || c > '~') {
            c = '?';
        }
    }
    return head("took", pid, at_ms) + " mode=" + shown + "\n";
}

std::string end_line(std::uint32_t pid, std::int64_t at_ms, std::string_view wrote, int exit_code) {
    return head("end", pid, at_ms) + " wrote=" + std::string(wrote) +
           " exit=" + std::to_string(exit_code) + "\n";
}

std::string_view result_word(mode m) {
    switch (m) {
    case mode::pass:
    case mode::readonly:
    case mode::rewrite:
        return "ok";
    case mode::failed:
        return "failed";
    case mode::cancel:
        return "cancel";
    case mode::none:
    case mode::hang:
    case mode::spawn:
        break;
    }
    return "nothing";
}

} // namespace progtool

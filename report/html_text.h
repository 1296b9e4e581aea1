#pragma once
// Text for the page. Everything taken from files goes through html_text, so a QR code or a
// measurement name can never become markup.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace report {

// `bytes` as well-formed UTF-8 with & < > " ' escaped and control characters shown as U+FFFD.
std::string html_text(std::string_view bytes);

// How the page shows a figure; "–" for none.
std::string count_text(uint64_t value);
// "93.1%"; "99.96%" where one decimal would show 100.0%.
std::string percent_text(const std::optional<double>& fraction);
std::string value_text(const std::optional<double>& value); // six significant digits

} // namespace report

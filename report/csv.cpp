#include "csv.h"

#include "utf8_text.h"

#include <charconv>
#include <cmath>

namespace report {

std::string csv_text(std::string_view bytes) {
    std::string text = well_formed_utf8(bytes);
    if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos) {
        text.insert(0, 1, '\'');
    }
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string csv_number(double value) {
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf";
    }
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

} // namespace report

#include "html_text.h"

#include "utf8_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace report {

std::string html_text(std::string_view bytes) {
    const std::string text = well_formed_utf8(bytes);
    std::string html;
    html.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        case '\'':
            html += "&#39;";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                html += "&#xFFFD;";
            } else {
                html += c;
            }
        }
    }
    return html;
}

std::string count_text(uint64_t value) {
    return std::to_string(value);
}

std::string percent_text(const std::optional<double>& fraction) {
    if (!fraction) {
        return "–";
    }
    // One decimal, or as many more as keep a yield short of 100 % from showing 100.0 % (and
    // a share above 0 from showing 0.0 %).
    const double percent = *fraction * 100;
    int decimals = 1;
    for (double scale = 10; decimals < 3; ++decimals, scale *= 10) {
        const double shown = std::round(percent * scale) / scale;
        if (!(percent < 100 && shown >= 100) && !(percent > 0 && shown <= 0)) {
            break;
        }
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.*f%%", decimals, percent);
    return text;
}

std::string value_text(const std::optional<double>& value) {
    if (!value || std::isnan(*value)) {
        return "–";
    }
    if (std::isinf(*value)) {
        return *value > 0 ? "∞" : "-∞";
    }
    char text[32]; // as "%.6g" prints it
    return std::string(
        text, std::to_chars(text, text + sizeof text, *value, std::chars_format::general, 6).ptr);
}

} // namespace report

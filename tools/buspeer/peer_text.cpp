#include "peer_text.h"

#include "hex_digit.h"

#include <cstdio>

namespace buspeer {

using framework::hex_digit;

std::string escape(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (c >= 0x20 && c < 0x7F) {
                out += static_cast<char>(c);
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            }
        }
    }
    return out;
}

std::optional<std::string> unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case '\\':
            out += '\\';
            break;
        case 'x': {
            int hi = i + 1 < text.size() ? hex_digit(text[i + 1]) : -1;
            int lo = i + 2 < text.size() ? hex_digit(text[i + 2]) : -1;
            if (hi < 0 || lo < 0) {
                return std::nullopt;
            }
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return out;
}

std::optional<std::vector<unsigned char>> parse_hex_bytes(std::string_view text) {
    std::vector<unsigned char> out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        int hi = hex_digit(text[i]);
        int lo = i + 1 < text.size() ? hex_digit(text[i + 1]) : -1;
        if (hi < 0 || lo < 0) {
            return std::nullopt;
        }
        out.push_back(static_cast<unsigned char>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

} // namespace buspeer

#include "csv.h"

#include "utf8_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace report {

std::string csv_text(std::string_view bytes) {
    std::string field;
    append_csv_text(field, bytes);
    return field;
}

void append_csv_text(std::string& field, std::string_view bytes) {
    // Looked for in the bytes as given: making them well-formed keeps every ASCII byte and
    // brings in none.
    const bool formula =
        !bytes.empty() && std::string_view("=+-@\t\r").find(bytes[0]) != std::string_view::npos;
    // One pass over the bytes: find_first_of would search the set once a byte.
    const bool quoted = std::any_of(bytes.begin(), bytes.end(), [](char c) {
        return c == ',' || c == '"' || c == '\r' || c == '\n';
    });
    if (!quoted) {
        if (formula) {
            field += '\'';
        }
        append_well_formed_utf8(field, bytes);
        return;
    }
    field += formula ? "\"'" : "\"";
    for (const char c : well_formed_utf8(bytes)) {
        field += c;
        if (c == '"') {
            field += '"';
        }
    }
    field += '"';
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

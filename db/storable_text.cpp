#include "storable_text.h"

#include "utf8_text.h"

#include <algorithm>

namespace db {

std::string_view storable_text(std::string_view bytes, std::string& buffer) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte != 0 && byte < 0x80;
        })) {
        return bytes;
    }
    buffer = report::well_formed_utf8(bytes);
    for (size_t at = buffer.find('\0'); at != std::string::npos; at = buffer.find('\0', at)) {
        buffer.replace(at, 1, "\xEF\xBF\xBD");
    }
    return buffer;
}

} // namespace db

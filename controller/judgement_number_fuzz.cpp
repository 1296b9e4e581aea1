// Any text read as a measurement number gives exactly what strtod gives (hexadecimal aside,
// which the judgement does not read), before and after narrowing to single precision.
#include "judgement_number.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool IsHexadecimal(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    return i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (IsHexadecimal(text)) {
        return 0;
    }
    const double expected = std::strtod(text.c_str(), nullptr);
    const double read = ReadNumber(std::u16string(text.begin(), text.end()));
    const bool same = std::isnan(expected)
                          ? std::isnan(read)
                          : read == expected && std::signbit(read) == std::signbit(expected);
    if (!same || std::isnan(ToSingle(read)) != std::isnan(read)) {
        std::abort();
    }
    return 0;
}

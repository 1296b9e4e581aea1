#pragma once
// The shape of well-formed UTF-8 (the Unicode Standard's table of well-formed byte sequences).
namespace framework {

struct Utf8Lead {
    int length;        // bytes in the sequence; 0 when this byte cannot start one
    unsigned char low; // the allowed range of the second byte; later ones are 80 to BF
    unsigned char high;
};

constexpr Utf8Lead Utf8LeadOf(unsigned char byte) {
    if (byte < 0x80) {
        return {1, 0x80, 0xBF};
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
        return {2, 0x80, 0xBF};
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return {3, static_cast<unsigned char>(byte == 0xE0 ? 0xA0 : 0x80),
                static_cast<unsigned char>(byte == 0xED ? 0x9F : 0xBF)};
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        return {4, static_cast<unsigned char>(byte == 0xF0 ? 0x90 : 0x80),
                static_cast<unsigned char>(byte == 0xF4 ? 0x8F : 0xBF)};
    }
    return {0, 0, 0};
}

// Whether `byte` may stand at position `index` (1 to 3) of a sequence that began with `lead`.
constexpr bool Utf8FollowOk(const Utf8Lead& lead, int index, unsigned char byte) {
    return index == 1 ? byte >= lead.low && byte <= lead.high : byte >= 0x80 && byte <= 0xBF;
}

} // namespace framework

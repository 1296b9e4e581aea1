#include "utf8_text.h"

#include "utf8.h"

#include <cstdint>
#include <cstring>

namespace report {
namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";

// The length of the well-formed sequence at `bytes[at]`, or 0.
size_t sequence_length(std::string_view bytes, size_t at) {
    const framework::Utf8Lead lead = framework::Utf8LeadOf(static_cast<unsigned char>(bytes[at]));
    if (lead.length == 0 || at + static_cast<size_t>(lead.length) > bytes.size()) {
        return 0;
    }
    for (int i = 1; i < lead.length; ++i) {
        if (!framework::Utf8FollowOk(lead, i, static_cast<unsigned char>(bytes[at + i]))) {
            return 0;
        }
    }
    return static_cast<size_t>(lead.length);
}

// Whether the eight bytes at `at` are all ASCII.
bool ascii_word(std::string_view bytes, size_t at) {
    uint64_t word;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    return (word & 0x8080808080808080u) == 0;
}

} // namespace

std::string well_formed_utf8(std::string_view bytes) {
    std::string text;
    append_well_formed_utf8(text, bytes);
    return text;
}

void append_well_formed_utf8(std::string& text, std::string_view bytes) {
    // Well-formed runs go over in one piece; only a malformed byte breaks one.
    size_t run = 0;
    size_t at = 0;
    while (at < bytes.size()) {
        if (at + 8 <= bytes.size() && ascii_word(bytes, at)) {
            at += 8;
        } else if (static_cast<unsigned char>(bytes[at]) < 0x80) {
            ++at;
        } else if (const size_t length = sequence_length(bytes, at); length != 0) {
            at += length;
        } else {
            text.append(bytes, run, at - run);
            text += replacement;
            run = ++at;
        }
    }
    text.append(bytes, run, at - run);
}

} // namespace report

#include "utf8_text.h"

#include "utf8.h"

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

} // namespace

std::string well_formed_utf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        const size_t length = sequence_length(bytes, at);
        if (length == 0) {
            text += replacement;
            ++at;
        } else {
            text.append(bytes, at, length);
            at += length;
        }
    }
    return text;
}

} // namespace report

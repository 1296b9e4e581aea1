// The free conversions of the text file class.
#include "unifile.h"

#include "codepage.h"
#include "utf8.h"

std::u16string ConvertAnsiToUnicode(std::string_view bytes) {
    auto wide = framework::AnsiToWide(bytes);
    return wide ? std::move(*wide) : std::u16string(kNoEnoughMemory);
}

std::u16string ConvertUTF8ToUnicode(std::string_view bytes) {
    auto wide = framework::Utf8ToWide(bytes);
    return wide ? std::move(*wide) : std::u16string(kUtf8ToUnicodeFailure);
}

bool IsUTF8Text(const char* bytes) {
    if (bytes == nullptr) {
        return false;
    }
    const auto* at = reinterpret_cast<const unsigned char*>(bytes);
    while (*at != 0) {
        // Of the ASCII controls only tab, line feed and carriage return are text; DEL is not.
        if (*at < 0x80 && *at != '\t' && *at != '\n' && *at != '\r' &&
            (*at < 0x20 || *at == 0x7F)) {
            return false;
        }
        const framework::Utf8Lead lead = framework::Utf8LeadOf(*at);
        if (lead.length == 0) {
            return false;
        }
        // A zero byte is out of every range, so this never reads past the terminator.
        for (int i = 1; i < lead.length; ++i) {
            if (!framework::Utf8FollowOk(lead, i, at[i])) {
                return false;
            }
        }
        at += lead.length;
    }
    return true;
}

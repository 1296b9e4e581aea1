// Code page 936 through glibc iconv, UTF-8 by hand; both replace what they cannot decode the
// way Windows does, so native tests see the text a Chinese Windows would show.
#include "codepage.h"

#include "utf8.h"

#include <cerrno>
#include <iconv.h>

namespace framework {
namespace {

constexpr char kAnsiCodePage[] = "CP936";
constexpr char16_t kAnsiDefaultChar = u'?';
constexpr char16_t kReplacement = 0xFFFD;

class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) {
            iconv_close(m_cd);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

bool IsLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
bool IsTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

} // namespace

std::optional<std::u16string> AnsiToWide(std::string_view bytes) {
    Iconv cd("UTF-16LE", kAnsiCodePage);
    if (!cd.ok()) {
        return std::nullopt;
    }
    std::u16string wide;
    wide.reserve(bytes.size());
    char16_t chunk[256];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* out = reinterpret_cast<char*>(chunk);
        size_t outLeft = sizeof chunk;
        const size_t result = iconv(cd.get(), &in, &inLeft, &out, &outLeft);
        const int error = errno;
        wide.append(chunk, reinterpret_cast<char16_t*>(out) - chunk);
        if (result != static_cast<size_t>(-1) || error == E2BIG) {
            continue;
        }
        // Undecodable: a lead byte takes its trail byte with it, as Windows does.
        const bool pair = inLeft > 1 && IsLeadByte(static_cast<unsigned char>(in[0])) &&
                          IsTrailByte(static_cast<unsigned char>(in[1]));
        const size_t skip = pair ? 2 : 1;
        wide.push_back(kAnsiDefaultChar);
        in += skip;
        inLeft -= skip;
    }
    return wide;
}

std::optional<std::string> WideToAnsi(std::u16string_view text) {
    Iconv cd(kAnsiCodePage, "UTF-16LE");
    if (!cd.ok()) {
        return std::nullopt;
    }
    std::string ansi;
    ansi.reserve(text.size() * 2);
    char chunk[256];
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    size_t inLeft = text.size() * sizeof(char16_t);
    while (inLeft > 0) {
        char* out = chunk;
        size_t outLeft = sizeof chunk;
        const size_t result = iconv(cd.get(), &in, &inLeft, &out, &outLeft);
        const int error = errno;
        ansi.append(chunk, out - chunk);
        if (result != static_cast<size_t>(-1) || error == E2BIG) {
            continue;
        }
        // A character the code page lacks, or a lone surrogate.
        const char16_t unit = *reinterpret_cast<const char16_t*>(in);
        const bool surrogatePair = unit >= 0xD800 && unit <= 0xDBFF && inLeft >= 4;
        const size_t skip = surrogatePair ? 4 : 2;
        ansi.push_back('?');
        in += skip;
        inLeft -= skip;
    }
    return ansi;
}

std::optional<std::u16string> Utf8ToWide(std::string_view bytes) {
    std::u16string wide;
    wide.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = [&](size_t at) { return static_cast<unsigned char>(bytes[at]); };
        const unsigned char lead = byte(i);
        if (lead < 0x80) {
            wide.push_back(lead);
            ++i;
            continue;
        }
        const Utf8Lead shape = Utf8LeadOf(lead);
        const int length = shape.length;
        char32_t code = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        int taken = 1;
        for (; taken < length && i + taken < bytes.size(); ++taken) {
            const unsigned char next = byte(i + taken);
            if (!Utf8FollowOk(shape, taken, next)) {
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        i += taken;
        if (taken != length) {
            // One replacement for the maximal well-formed prefix (or the lone bad byte).
            wide.push_back(kReplacement);
        } else if (code >= 0x10000) {
            code -= 0x10000;
            wide.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            wide.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            wide.push_back(static_cast<char16_t>(code));
        }
    }
    return wide;
}

std::optional<std::string> WideToUtf8(std::u16string_view text) {
    std::string utf8;
    utf8.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacement;
        }
        if (code < 0x80) {
            utf8.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            utf8.push_back(static_cast<char>(0xE0 | (code >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xF0 | (code >> 18)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return utf8;
}

} // namespace framework

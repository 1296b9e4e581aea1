// Arbitrary byte streams through the reply decoder and the tester link's line cutting, each
// checked against what it must post, and as UTF-16 through the command-line reader.
#include "command_line.h"
#include "link_test_doubles.h"
#include "reply_decoder.h"
#include "tester_link.h"
#include "type_word.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using bridge::testing::post_record;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool is_reply_keyword(const std::string& text) {
    return text == "squeezed" || text == "slack" || text == "powered" || text == "powered_off";
}

bool is_diagnostic(const std::string& text) {
    return text == "frame data error" || text == "crc error" || text == "received unknow size.";
}

// Each segment: a length byte (0 to 40 used), then up to that many reply bytes.
void fuzz_replies(const std::uint8_t* data, std::size_t size) {
    std::uint16_t status_word = 0xBEEF;
    std::size_t at = 0;
    while (at < size) {
        std::size_t length = data[at++] % 41;
        bridge::reply_buffer buffer;
        buffer.reset();
        std::size_t taken = 0;
        for (; taken < length && at < size; ++taken) {
            buffer.collect_reply_byte(data[at++]);
        }
        bridge::testing::recording_bus bus;
        std::uint16_t before = status_word;
        auto reply = buffer.snapshot();
        bridge::decode_reply(reply, status_word, bus);
        auto posts = bus.take();
        if (taken == 0) {
            check(posts == std::vector<post_record>{{bus::kBridgeKeyword, "paralyzed"}});
            continue;
        }
        check(posts.size() == 2);
        check(posts[0].type == bus::kBridgeFrame);
        check(posts[0].bytes.size() == (taken < 31 ? taken : 31));
        const auto& verdict = posts[1];
        check((verdict.type == bus::kBridgeKeyword && is_reply_keyword(verdict.bytes)) ||
              (verdict.type == bus::kBridgeDiagnostic && is_diagnostic(verdict.bytes)));
        bool polled = verdict.bytes == "squeezed" || verdict.bytes == "slack";
        check(polled ? taken == 7 && status_word == (reply.bytes[3] << 8 | reply.bytes[4])
                     : status_word == before);
    }
}

// The posts a tester byte stream must give: lines between LFs without CR, non-empty,
// cut to 2047 bytes, each with the end marker followed by "qel_end".
std::vector<post_record> expected_lines(const std::uint8_t* data, std::size_t size) {
    std::vector<post_record> out;
    std::string line;
    for (std::size_t i = 0; i < size; ++i) {
        char c = static_cast<char>(data[i]);
        if (c == '\r') {
            continue;
        }
        if (c != '\n') {
            if (line.size() < 2047) {
                line += c;
            }
            continue;
        }
        if (!line.empty()) {
            out.push_back({bus::kBridgeKeyword, line});
            if (line.find("{clear//}") != std::string::npos) {
                out.push_back({bus::kBridgeKeyword, "qel_end"});
            }
        }
        line.clear();
    }
    return out;
}

void fuzz_lines(const std::uint8_t* data, std::size_t size) {
    bridge::testing::recording_bus bus;
    bridge::testing::recording_port port;
    bridge::tester_link link(port, bus);
    link.handle_command("qel_start", bridge::link_time{0});
    link.wake(bridge::link_time{1000});
    for (std::size_t i = 0; i < size; ++i) {
        link.dispatch_bytes(data + i, 1);
    }
    auto expected = expected_lines(data, size);
    check(bus.take() == expected);
    bool ended = false;
    for (const auto& post : expected) {
        ended = ended || post.bytes.find("{clear//}") != std::string::npos;
    }
    check(link.tester_watch() == (ended ? 0 : 20));
}

// Whatever the command line, the port is usable.
void fuzz_command_line(const std::uint8_t* data, std::size_t size) {
    std::u16string line(size / 2, u'\0');
    for (std::size_t i = 0; i < line.size(); ++i) {
        line[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    }
    check(bridge::parse_command_line(line).port_number >= 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_replies(data, size);
    fuzz_lines(data, size);
    fuzz_command_line(data, size);
    return 0;
}

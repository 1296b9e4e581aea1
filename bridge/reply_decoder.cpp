#include "reply_decoder.h"

#include "keywords.h"
#include "modbus_frame.h"
#include "type_word.h"

#include <cstddef>
#include <string_view>

namespace bridge {

namespace kw = bus::keyword;

namespace {

void post_keyword(bus_sink& bus, const char* text) {
    bus.post(bus::kBridgeKeyword, text);
}

void post_diagnostic(bus_sink& bus, const char* text) {
    bus.post(bus::kBridgeDiagnostic, text);
}

bool crc_ok(const reply_snapshot& reply) {
    return modbus_crc(reply.bytes.data(), static_cast<std::size_t>(reply.count)) == 0;
}

bool decode_poll_reply(const reply_snapshot& reply, std::uint16_t& status_word, bus_sink& bus) {
    const auto& b = reply.bytes;
    if (b[0] != kStatusUnit || b[1] != kReadHolding || b[2] != 2) {
        post_diagnostic(bus, kw::kFrameDataError);
        return false;
    }
    if (!crc_ok(reply)) {
        post_diagnostic(bus, kw::kCrcError);
        return false;
    }
    status_word = static_cast<std::uint16_t>(b[3] << 8 | b[4]);
    post_keyword(bus, (b[4] & kClampInput) != 0 ? kw::kSqueezed : kw::kSlack);
    return true;
}

void decode_power_echo(const reply_snapshot& reply, bus_sink& bus) {
    const auto& b = reply.bytes;
    if (b[0] != kPowerUnit || b[1] != kWriteSingle) {
        post_diagnostic(bus, kw::kFrameDataError);
    } else if (!crc_ok(reply)) {
        post_diagnostic(bus, kw::kCrcError);
    } else {
        post_keyword(bus, b[4] != 0 || b[5] != 0 ? kw::kPowered : kw::kPoweredOff);
    }
}

} // namespace

bool decode_reply(const reply_snapshot& reply, std::uint16_t& status_word, bus_sink& bus) {
    if (reply.count == 0) {
        post_keyword(bus, kw::kParalyzed);
        return false;
    }
    bus.post(bus::kBridgeFrame, std::string_view(reinterpret_cast<const char*>(reply.bytes.data()),
                                                 static_cast<std::size_t>(reply.count)));
    if (reply.count == 7) {
        return decode_poll_reply(reply, status_word, bus);
    }
    if (reply.count == 8) {
        decode_power_echo(reply, bus);
    } else {
        post_diagnostic(bus, kw::kUnknownSize);
    }
    return false;
}

} // namespace bridge

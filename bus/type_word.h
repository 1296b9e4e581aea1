#pragma once
// The 32-bit type word that labels every bus message, and the rules built on it.
#include <cstdint>

namespace bus {

// Data kinds (bits 8 to 23, one bit each); also the bits of a registration mask.
constexpr std::uint32_t kKindAbs = 0x100;
constexpr std::uint32_t kKindString = 0x200;
constexpr std::uint32_t kKindArray = 0x400;
constexpr std::uint32_t kKindDepth = 0x800;
constexpr std::uint32_t kKindAd = 0x1000;
constexpr std::uint32_t kKindWtc = 0x2000;
constexpr std::uint32_t kKindTimer = 0x4000;
constexpr std::uint32_t kKindCounter = 0x8000;
constexpr std::uint32_t kKindControl = 0x800000;
constexpr std::uint32_t kKindMask = 0x00FFFF00;

// Directions (bits 28 to 31).
constexpr std::uint32_t kReadValue = 0x10000000;
constexpr std::uint32_t kWriteValue = 0x20000000;
constexpr std::uint32_t kReadPara = 0x40000000;
constexpr std::uint32_t kWritePara = 0x80000000;

// Window message of every bus notification.
constexpr unsigned kWmBusEvent = 0x0475;

// Channels of the station traffic.
constexpr std::uint32_t kKeywordChannel = 0xFF;
constexpr std::uint32_t kDiagnosticChannel = 0xFB;
constexpr std::uint32_t kFrameChannel = 0x00;

// The four type words of the station traffic.
constexpr std::uint32_t kControllerText = kWriteValue | kKindString; // base of qel's posts
constexpr std::uint32_t kBridgeText = kReadValue | kKindString;      // base of qel_link's posts
constexpr std::uint32_t kBridgeBytes = kReadValue | kKindArray;
constexpr std::uint32_t kControllerKeyword = kControllerText | kKeywordChannel; // 0x200002FF
constexpr std::uint32_t kBridgeKeyword = kBridgeText | kKeywordChannel;         // 0x100002FF
constexpr std::uint32_t kBridgeDiagnostic = kBridgeText | kDiagnosticChannel;   // 0x100002FB
constexpr std::uint32_t kBridgeFrame = kBridgeBytes | kFrameChannel;            // 0x10000400

// Stop-all request of the probe: Write Para, CONTROL, channel 0, no data.
constexpr std::uint32_t kStopAll = kWritePara | kKindControl;

constexpr std::uint32_t channel_of(std::uint32_t type) {
    return type & 0xFF;
}

// Base plus channel, the channel cut to its low 8 bits (0x1FF posts on 0xFF).
constexpr std::uint32_t compose(std::uint32_t base, std::uint32_t channel) {
    return base + (channel & 0xFF);
}

// String and Array kinds with a Value direction carry a payload; all else carries its value.
constexpr bool carries_payload(std::uint32_t type) {
    return (type & (kKindString | kKindArray)) != 0 && (type & (kReadValue | kWriteValue)) != 0;
}

// What the controller takes: Read Value text on the keyword channel.
constexpr bool controller_accepts(std::uint32_t type) {
    return (type & kBridgeText) == kBridgeText && channel_of(type) == kKeywordChannel;
}

// What a bridge takes: Write Value text on the keyword channel.
constexpr bool bridge_accepts(std::uint32_t type) {
    return (type & kWriteValue) != 0 && (type & kKindString) != 0 &&
           channel_of(type) == kKeywordChannel;
}

} // namespace bus

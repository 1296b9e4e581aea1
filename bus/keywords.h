#pragma once
// The station keywords exchanged by the controller and the bridges. Compared exactly,
// case-sensitively, and posted without a terminator.
#include <optional>
#include <string>
#include <string_view>

namespace bus::keyword {

// Controller to bridges.
inline constexpr char kQelStart[] = "qel_start";
inline constexpr char kPressurize[] = "pressurize";
inline constexpr char kPoweringUpPrefix[] = "powering_up_"; // followed by one index character
inline constexpr char kPoweringUpFormat[] = "powering_up_%d";
inline constexpr char kPoweringDown[] = "powering_down";
inline constexpr char kStatusClear[] = "status_clear";
inline constexpr char kStatusAllPass[] = "status_allpass";
inline constexpr char kStatusFail[] = "status_fail";

// Bridges to controller.
inline constexpr char kSqueezed[] = "squeezed";
inline constexpr char kSlack[] = "slack";
inline constexpr char kPowered[] = "powered";
inline constexpr char kPoweredOff[] = "powered_off";
inline constexpr char kParalyzed[] = "paralyzed";
inline constexpr char kQelEnd[] = "qel_end";
inline constexpr char kQelParalyzed[] = "qel_paralyzed";
inline constexpr char kPortClosedFormat[] = "Port closed %d";

// Control-bridge diagnostics on the diagnostic channel.
inline constexpr char kFrameDataError[] = "frame data error";
inline constexpr char kCrcError[] = "crc error";
inline constexpr char kUnknownSize[] = "received unknow size.";

// The tester's start command and the end marker of its log.
inline constexpr char kTesterStart[] = "cmdst()\r";
inline constexpr char kTesterEndMarker[] = "{clear//}";

// Client names and the bus string of the bridge version.
inline constexpr char kClientController[] = "qel";
inline constexpr char kClientBridge[] = "qel_link";
inline constexpr char kClientProbe[] = "test";
inline constexpr char kBridgeVersionName[] = "ver_qel_link";

// "powering_up_%d" for a station index, as the controller posts it.
std::string powering_up(int index);

// The index of "powering_up_" followed by exactly one character; a non-digit reads as 0.
std::optional<int> powering_up_index(std::string_view text);

} // namespace bus::keyword

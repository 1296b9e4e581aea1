#pragma once
// What the probe makes of the bus library's information texts, and of the boxes that
// change a public variable.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace probe {

// Information codes of the library.
inline constexpr std::uint32_t kInfoVersion = 127;
inline constexpr std::uint32_t kInfoBuild = 128;
inline constexpr std::uint32_t kInfoClients = 129;
inline constexpr std::uint32_t kInfoPublicVars = 130;
inline constexpr std::uint32_t kInfoExtra = 131;

// "LUMO(version) Build(build) ZETOL(v1.0-0-g6fa9e40) Build(2021-07-19)"; a null text
// shows as nothing.
std::string library_title(const char* version, const char* build);

// The windows of the client list that "END_SESSION" is sent to, in list order: the
// handle in hexadecimal at the start of each line, skipping lines without one, handle 0
// and the probe's own window.
std::vector<std::uint32_t> end_session_targets(std::string_view clients, std::uint32_t own);

// A variable index or value box: its first 31 characters as a decimal integer; text
// without leading digits gives 0.
std::uint32_t variable_number(std::string_view box);

} // namespace probe

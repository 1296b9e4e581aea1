#pragma once
// How the bus peer writes bytes into its log and reads them from its commands:
// printable ASCII as is, everything else as \xHH (and \r \n \t \\).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace buspeer {

std::string escape(std::string_view bytes);
std::optional<std::string> unescape(std::string_view text);
// "01 02 ff" into bytes; empty optional on a bad pair.
std::optional<std::vector<unsigned char>> parse_hex_bytes(std::string_view text);

} // namespace buspeer

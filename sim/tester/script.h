#pragma once
// The tester simulator's script and the start command it waits for.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// A script is a text file: each line is sent as the tester prints it, followed by CR LF.
// A line "@pause <ms>" sends nothing and waits that long instead.
struct script_step {
    std::string line;
    int pause_ms = 0; // > 0 for a pause step
};

std::vector<script_step> parse_script(std::string_view text);
std::optional<std::vector<script_step>> load_script(const std::string& path);

// Spots "cmdst()\r" in the received byte stream, however it is split.
class start_watch {
public:
    bool feed(std::uint8_t byte);

private:
    std::string tail;
};

} // namespace sim

#include "script.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace sim {

namespace {

constexpr std::string_view kStart = "cmdst()\r";
constexpr std::string_view kPause = "@pause ";

} // namespace

std::vector<script_step> parse_script(std::string_view text) {
    std::vector<script_step> steps;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.starts_with(kPause)) {
            int ms = std::atoi(std::string(line.substr(kPause.size())).c_str());
            if (ms > 0) {
                steps.push_back({"", ms});
            }
            continue;
        }
        steps.push_back({std::string(line), 0});
    }
    return steps;
}

std::optional<std::vector<script_step>> load_script(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parse_script(text.str());
}

bool start_watch::feed(std::uint8_t byte) {
    tail += static_cast<char>(byte);
    if (tail.size() > kStart.size()) {
        tail.erase(0, tail.size() - kStart.size());
    }
    return tail == kStart;
}

} // namespace sim

#pragma once
// Helpers shared by the device simulators.
#include <string>

namespace sim {

// Local wall-clock time as HH:MM:SS.mmm, the prefix of every line a simulator prints.
std::string stamp();

// Prints one line with the stamp and flushes, so a test sees it at once.
void say(const std::string& text);

} // namespace sim

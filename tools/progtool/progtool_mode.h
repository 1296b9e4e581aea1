#pragma once
// What the programming-tool stand-in does in each mode, kept free of Windows so it is
// tested natively.
#include <optional>
#include <string>
#include <string_view>

namespace progtool {

enum class mode {
    pass,   // writes a result that reads as programmed
    failed, // writes a result containing "failed"
    cancel, // writes a result containing "cancel"
    none,   // ends without writing a result
    hang,   // never ends
    // Writes the pass result and makes it read-only, so that the next run's delete fails.
    readonly,
    // Starts a child in mode rewrite, then never ends: a tool whose helper outlives it.
    spawn,
    // Writes the pass result again every 50 ms and never ends.
    rewrite,
};

// A mode by its name ("pass", "failed", ..., "rewrite"), exactly.
std::optional<mode> parse_mode(std::string_view word);

// The result file's bytes for a mode that leaves one: UTF-16LE with a byte-order mark, as
// the real tool writes it. Empty for none, hang and spawn.
std::string result_bytes(mode m);

// A plan file holds one mode a line, one line per run. The first line (without its line
// end) and the text after it.
struct plan_step {
    std::string first;
    std::string rest;
};
plan_step take_first_line(std::string_view plan);

} // namespace progtool

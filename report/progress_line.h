#pragma once
// The line that shows a long run going on a terminal, rewritten in place a few times a
// second; nothing when the output is no terminal.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace report {

class progress_line {
public:
    progress_line(std::FILE* stream, bool terminal) : m_stream(stream), m_terminal(terminal) {}

    void show(const std::string& station, uint64_t files);
    // Clears the line.
    void done();

private:
    std::FILE* m_stream;
    bool m_terminal;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_last{};
};

} // namespace report

#include "progress_line.h"

namespace report {

void progress_line::show(const std::string& station, uint64_t files) {
    // The clock is read only every 256 files: the line must not cost the run its speed.
    if (!m_terminal || files % 256 != 0) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last < std::chrono::milliseconds(200)) {
        return;
    }
    m_last = now;
    m_shown = true;
    std::fprintf(m_stream, "\r\033[Kqelreport: %s: %llu files read", station.c_str(),
                 static_cast<unsigned long long>(files));
    std::fflush(m_stream);
}

void progress_line::done() {
    if (m_shown) {
        std::fputs("\r\033[K", m_stream);
        std::fflush(m_stream);
        m_shown = false;
    }
}

} // namespace report

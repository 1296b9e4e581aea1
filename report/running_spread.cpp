#include "running_spread.h"

#include <cmath>

namespace report {

void running_spread::merge(const running_spread& other) {
    if (other.m_count == 0) {
        return;
    }
    if (m_count == 0) {
        *this = other;
        return;
    }
    const double n = static_cast<double>(m_count);
    const double m = static_cast<double>(other.m_count);
    const double delta = other.m_mean - m_mean;
    m_mean += delta * m / (n + m);
    m_squares += other.m_squares + delta * delta * n * m / (n + m);
    m_count += other.m_count;
}

std::optional<double> running_spread::mean() const {
    return m_count == 0 ? std::nullopt : std::optional<double>(m_mean);
}

std::optional<double> running_spread::stddev() const {
    return m_count < 2
               ? std::nullopt
               : std::optional<double>(std::sqrt(m_squares / static_cast<double>(m_count - 1)));
}

} // namespace report

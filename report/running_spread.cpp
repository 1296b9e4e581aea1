#include "running_spread.h"

#include <algorithm>
#include <cmath>

namespace report {

double running_spread::centred_squares() const {
    return std::max(0.0, m_squares - m_sum * m_sum / static_cast<double>(m_count));
}

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
    const double mean = *this->mean();
    const double delta = *other.mean() - mean;
    const double squares =
        centred_squares() + other.centred_squares() + delta * delta * n * m / (n + m);
    m_count += other.m_count;
    m_shift = mean + delta * m / (n + m);
    m_sum = 0;
    m_squares = squares;
}

std::optional<double> running_spread::mean() const {
    return m_count == 0 ? std::nullopt
                        : std::optional<double>(m_shift + m_sum / static_cast<double>(m_count));
}

std::optional<double> running_spread::stddev() const {
    return m_count < 2 ? std::nullopt
                       : std::optional<double>(
                             std::sqrt(centred_squares() / static_cast<double>(m_count - 1)));
}

} // namespace report

#pragma once
// The latest values of a measurement in time order, for its control chart.
#include <cstddef>
#include <vector>

namespace report {

class recent_values {
public:
    static constexpr size_t kept = 500;

    void add(double value) {
        if (m_values.size() < kept) {
            m_values.push_back(value);
        } else {
            m_values[m_next] = value;
            m_next = (m_next + 1) % kept;
        }
    }
    // Oldest first.
    std::vector<double> in_order() const;

private:
    std::vector<double> m_values;
    size_t m_next = 0; // the oldest once the ring is full
};

} // namespace report

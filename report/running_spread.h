#pragma once
// Count, mean and spread of a stream of values by sums of their differences from the first
// value: no division per value, and no precision lost to large values, as the differences
// stay near the spread. Two streams combine into the figures of both.
#include <cstdint>
#include <optional>

namespace report {

class running_spread {
public:
    void add(double value) {
        if (m_count++ == 0) {
            m_shift = value;
        }
        const double difference = value - m_shift;
        m_sum += difference;
        m_squares += difference * difference;
    }
    // The figures of this stream and `other` together.
    void merge(const running_spread& other);

    uint64_t count() const { return m_count; }
    std::optional<double> mean() const;
    // The sample standard deviation (n - 1); nullopt below two values.
    std::optional<double> stddev() const;

private:
    // The sum of squared differences from the mean.
    double centred_squares() const;

    uint64_t m_count = 0;
    double m_shift = 0;
    double m_sum = 0;     // of the differences from m_shift
    double m_squares = 0; // of their squares
};

} // namespace report

#pragma once
// Count, mean and spread of a stream of values by Welford's running sums, so a million
// values lose no precision; two of them combine into the figures of both streams.
#include <cstdint>
#include <optional>

namespace report {

class running_spread {
public:
    void add(double value) {
        ++m_count;
        const double delta = value - m_mean;
        m_mean += delta / static_cast<double>(m_count);
        m_squares += delta * (value - m_mean);
    }
    // The figures of this stream and `other` together.
    void merge(const running_spread& other);

    uint64_t count() const { return m_count; }
    std::optional<double> mean() const;
    // The sample standard deviation (n - 1); nullopt below two values.
    std::optional<double> stddev() const;

private:
    uint64_t m_count = 0;
    double m_mean = 0;
    double m_squares = 0; // sum of squared differences from the mean
};

} // namespace report

#pragma once
// The whole report: the period asked for and each station's figures, as every output
// writes them.
#include "period.h"
#include "station_report.h"

#include <cstdint>
#include <vector>

namespace report {

struct report_data {
    period days;
    std::vector<station_report> stations;
};

// Below this Cpk a measurement is flagged as not capable, once it has this many values.
inline constexpr double capable_cpk = 1.33;
inline constexpr uint64_t cpk_min_count = 30;

inline bool cpk_low(const capability& figures) {
    return figures.cpk && figures.count >= cpk_min_count && *figures.cpk < capable_cpk;
}

} // namespace report

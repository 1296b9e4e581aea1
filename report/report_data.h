#pragma once
// The whole report: the period asked for and each station's figures, as every output
// writes them.
#include "period.h"
#include "station_report.h"

#include <vector>

namespace report {

struct report_data {
    period days;
    std::vector<station_report> stations;
};

// Below this Cpk a measurement is flagged as not capable.
inline constexpr double capable_cpk = 1.33;

} // namespace report

#pragma once
// Walks one station's xlog.data folders: qel_data\<date>\ files in time order, read one at a
// time and handed to the station's tally. Every file that is not a record is counted there
// with the reason, and the walk goes on.
#include "period.h"
#include "record_source.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace report {

// Told of a root that holds no qel_data folder to read.
using root_problem =
    std::function<void(const std::filesystem::path& root, const std::string& problem)>;

// Reads a station's roots together, day by day, so that records moved from one root to
// another (D: to E:) are one population in time order.
void scan_station(const std::vector<std::filesystem::path>& roots, const period& days,
                  record_sink& sink, const scan_progress& progress, const root_problem& problem_of);

} // namespace report

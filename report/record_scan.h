#pragma once
// Walks one station's xlog.data folder: qel_data\<date>\ files in time order, read one at a
// time and handed to the station's tally. Every file that is not a record is counted there
// with the reason, and the walk goes on.
#include "period.h"
#include "station_tally.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace report {

// Told after each file: how many files of the station have been looked at so far.
using scan_progress = std::function<void(uint64_t files)>;

// False with `problem` set when the root holds no qel_data folder to read.
bool scan_station(const std::filesystem::path& root, const period& days, station_tally& tally,
                  const scan_progress& progress, std::string& problem);

} // namespace report

#pragma once
// Walks one station's xlog.data folders: qel_data\<date>\ files in time order, read one at a
// time and handed to the station's tally. Every file that is not a record is counted there
// with the reason, and the walk goes on.
#include "period.h"
#include "record_name.h"
#include "record_source.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace report {

inline constexpr const char* data_folder = "qel_data";

// Why an entry is passed over while the folders are listed, before any file is read.
inline constexpr const char* not_a_date_folder = "not a date folder";
inline constexpr const char* file_outside_date_folders = "a file outside the date folders";
inline constexpr const char* folder_in_date_folder = "a folder inside a date folder";
inline constexpr const char* not_a_record_name = "not a record's name";
bool is_listing_reason(std::string_view reason);

// The order records are read in, within a day.
bool scan_order(const record_name& a, const record_name& b);

// Told of a root that holds no qel_data folder to read.
using root_problem =
    std::function<void(const std::filesystem::path& root, const std::string& problem)>;

// Reads a station's roots together, day by day, so that records moved from one root to
// another (D: to E:) are one population in time order.
void scan_station(const std::vector<std::filesystem::path>& roots, const period& days,
                  record_sink& sink, const scan_progress& progress, const root_problem& problem_of);

} // namespace report

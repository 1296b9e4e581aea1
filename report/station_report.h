#pragma once
// Everything the report says about one station for the period.
#include "board_tally.h"
#include "measurement_stats.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace report {

inline constexpr int slot_count = 4;

struct slot_figures {
    uint64_t tested = 0;
    uint64_t passed = 0;
    uint64_t failed = 0;
    uint64_t programmed_ok = 0;
    uint64_t programmed_failed = 0;
    uint64_t not_programmed = 0; // failed its test, so not programmed
    uint64_t disabled = 0;       // the slot was switched off for a cycle
};

struct unparsed_file {
    std::string file; // the path under the station's folder
    std::string reason;
};

struct named_measurement {
    std::string name;
    measurement_stats stats;
};

struct station_report {
    static constexpr size_t max_unparsed_listed = 1000;

    std::string name;
    std::string root;
    uint64_t records = 0;                      // station records read and counted
    uint64_t unparsed = 0;                     // files that could not be read as records
    std::vector<unparsed_file> unparsed_files; // the first ones
    uint64_t program_results = 0;
    std::array<slot_figures, slot_count> slots;
    uint64_t records_without_slot = 0;
    board_figures boards;
    std::vector<named_measurement> measurements;  // by name
    std::map<int64_t, uint64_t> records_per_hour; // hour since 1970 -> records
    local_seconds first_record = 0;
    local_seconds last_record = 0;
};

} // namespace report

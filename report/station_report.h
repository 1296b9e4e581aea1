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
    uint64_t tested = 0; // records with a result: passed and failed
    uint64_t passed = 0;
    uint64_t failed = 0;
    uint64_t no_result = 0;    // records without judgement lines
    uint64_t first_tested = 0; // boards whose first record was in this slot
    uint64_t first_passed = 0; // of those, the ones that passed it
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

// Failing measurements of boards' first tests.
struct first_test_fails {
    uint64_t fails = 0;
    uint64_t boards = 0;
};

struct day_figures {
    uint64_t records = 0;    // station records, with a result or not
    uint64_t boards = 0;     // boards first tested that day
    uint64_t first_pass = 0; // of those, the ones whose first record passed
    uint64_t programmed_ok = 0;
    uint64_t programmed_failed = 0;
};

struct station_report {
    static constexpr size_t max_unparsed_listed = 1000;
    // A hostile file could print a new name on every line; past these they are counted.
    static constexpr size_t max_measurement_names = 20000;

    std::string name;
    std::vector<std::string> roots;
    uint64_t records = 0;                      // station records read and counted
    uint64_t no_result = 0;                    // of those, records without judgement lines
    uint64_t unparsed = 0;                     // files that could not be read as records
    std::vector<unparsed_file> unparsed_files; // the first ones
    uint64_t program_results = 0;
    std::array<slot_figures, slot_count> slots;
    uint64_t records_without_slot = 0;
    board_figures boards;
    std::vector<named_measurement> measurements; // by name
    uint64_t measurement_names_not_kept = 0;     // lines whose new name was past the cap
    std::map<std::string, first_test_fails> first_test_pareto;
    std::map<int64_t, day_figures> days;          // day since 1970 -> its figures
    std::map<int64_t, uint64_t> records_per_hour; // hour since 1970 -> records
    local_seconds first_record = 0;
    local_seconds last_record = 0;
};

} // namespace report

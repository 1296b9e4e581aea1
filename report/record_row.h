#pragma once
// One station record as the report lists it: a row of boards.csv and a step of a board's
// history.
#include "record_time.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace report {

struct record_row {
    local_seconds time = 0;
    std::string qr;         // as the file name holds it; "" when none was scanned
    int slot = 0;           // 1 to 4; 0 when neither the record nor its cycle's results tell
    bool has_result = true; // false for a record without judgement lines
    bool pass = false;
    std::string failed;                // the names of the failed measurements, ";" between
    std::vector<uint32_t> failed_ends; // where each name in `failed` ends
    std::string file;                  // the path under the station's folder
    uint32_t test_number = 0; // the how-manieth record with a result of its QR code; 0 for none

    // Adds a failed measurement's name.
    void add_failed(std::string_view name) {
        if (!failed.empty()) {
            failed += ';';
        }
        failed += name;
        failed_ends.push_back(static_cast<uint32_t>(failed.size()));
    }
    // The i-th failed name.
    std::string_view failed_name(size_t i) const {
        const size_t start = i == 0 ? 0 : failed_ends[i - 1] + 1;
        return std::string_view(failed).substr(start, failed_ends[i] - start);
    }
};

} // namespace report

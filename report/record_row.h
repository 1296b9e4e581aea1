#pragma once
// One station record as the report lists it: a row of boards.csv and a step of a board's
// history.
#include "record_time.h"

#include <cstdint>
#include <string>

namespace report {

struct record_row {
    local_seconds time = 0;
    std::string qr; // as the file name holds it; "" when none was scanned
    int slot = 0;   // 1 to 4; 0 when neither the record nor its cycle's results tell
    bool pass = false;
    std::string failed;       // the names of the failed measurements, space-separated
    std::string file;         // the path under the station's folder
    uint32_t test_number = 0; // the how-manieth record of its QR code; 0 without one
};

} // namespace report

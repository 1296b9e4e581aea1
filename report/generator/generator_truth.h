#pragma once
// What the generator wrote, counted from its own side: the figures a report of the tree
// must find. Boards are known by their QR codes as the file names hold them.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace generator {

struct slot_truth {
    uint64_t tested = 0;
    uint64_t passed = 0;
    uint64_t failed = 0;
    uint64_t no_result = 0;
    uint64_t programmed_ok = 0;
    uint64_t programmed_failed = 0;
    uint64_t not_programmed = 0;
};

struct station_truth {
    std::string name;
    uint64_t records = 0;
    uint64_t unparsed = 0;
    uint64_t boards = 0;
    uint64_t first_pass = 0;
    uint64_t final_pass = 0;
    uint64_t retested_boards = 0;
    uint64_t retests = 0;
    uint64_t records_without_qr = 0;
    std::array<slot_truth, 4> slots;
    std::map<std::string, uint64_t> fails;  // by measurement name
    std::map<std::string, uint64_t> counts; // judgement lines by measurement name
    uint64_t limit_changes = 0;             // over all measurement names
};

struct line_truth {
    std::vector<station_truth> stations;
};

std::string truth_json(const line_truth& truth);

} // namespace generator

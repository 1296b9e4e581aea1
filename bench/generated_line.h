#pragma once
// A line of four stations generated for a benchmark, sized by its number of records.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct generated_line {
    uint64_t records = 0;           // as generated: a few per cycle may be missing
    std::vector<std::string> roots; // each station's xlog.data folder
};

// Writes about `records` records of `lines` judgement lines under `out` and says so.
generated_line generate_records(const std::filesystem::path& out, uint64_t records, int lines);

} // namespace bench

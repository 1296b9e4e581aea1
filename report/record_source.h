#pragma once
// Where the report's records come from: the stations' folders or the line's database. A
// source hands each station's records to a sink in the order the report counts them, so
// that every figure is worked out by the same code from either.
#include "judgement_line.h"
#include "period.h"
#include "program_result.h"
#include "record_name.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace report {

// What a station's records are handed to: its tally.
class record_sink {
public:
    virtual ~record_sink() = default;
    // A station record with its judgement lines (none for a record without a result) and
    // the path of its file as the report names it.
    virtual void add_record(const record_name& name, const std::vector<judgement_line>& lines,
                            std::string file) = 0;
    virtual void add_program_result(local_seconds time, const std::vector<program_line>& lines) = 0;
    // A file that is no record, and why.
    virtual void add_unparsed(std::string file, std::string reason) = 0;
};

// Told after each file: how many files of the station have been looked at so far.
using scan_progress = std::function<void(uint64_t files)>;

struct source_station {
    std::string name;
    std::vector<std::string> roots; // as the report shows them
};

class record_source {
public:
    virtual ~record_source() = default;
    virtual const std::vector<source_station>& stations() const = 0;
    // Hands the records of station `index` within `days` to `sink`. False, with `problem`
    // set, when the source failed on the way; what was handed is then incomplete.
    virtual bool read_station(size_t index, const period& days, record_sink& sink,
                              const scan_progress& progress, std::string& problem) = 0;
};

} // namespace report

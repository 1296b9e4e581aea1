#pragma once
// The names the controller gives the files of a date folder (qel_data\YYYYMMDD):
// "YYYYMMDD_HHMMSS_QR<qr>.txt" for a station's record, "YYYYMMDD_HHMMSSProgram_Result.txt"
// for a cycle's programming results, either with "_n" (n from 2) before ".txt" when the
// name was already taken in that second.
#include "record_time.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace report {

enum class record_kind { station, program_result };

struct record_name {
    record_kind kind = record_kind::station;
    local_seconds time = 0;
    std::string qr; // station records: the QR code as the name holds it, "" for none
    int copy = 1;   // n of the "_n" suffix, 1 without one
};

// Whether the folder holds a file of that name.
using folder_lookup = std::function<bool(std::string_view name)>;

// The record a file name stands for, or nullopt for any other name. A QR code may itself
// end in "_n": the suffix is taken as the controller's only when the name without it is in
// the folder too, as it must have been when the controller chose the suffix.
std::optional<record_name> parse_record_name(std::string_view name, const folder_lookup& in_folder);

} // namespace report

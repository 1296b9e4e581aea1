#pragma once
// The controller's settings as one value: what the profile stores, the settings dialog
// edits and the cycle reads.
#include "station_controller_flags.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

struct StationSettings {
    int portQel = 1; // "port_qel": tester bridge, mode 0
    int portIo = 1;  // "port_io": control-board bridge, mode 1
    std::u16string
        programExecute;           // "program_execute": command line, run unchanged for each station
    std::u16string programResult; // "program_result": the file the command leaves its result in
    std::array<bool, kStationCount> stationEnabled{true, true, true, true}; // "check_stall0".."3"
};

// The text without white space at either end.
std::u16string Trim(std::u16string_view text);
// A decimal integer, with optional white space around it and an optional sign; nothing for
// any other text or a number beyond the int range.
std::optional<int> ParseInteger(std::u16string_view text);

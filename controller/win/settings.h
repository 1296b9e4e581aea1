#pragma once
// The controller's eight stored settings, section "Settings" of the profile.
#include "profile.h"
#include "station_controller_flags.h"

#include <array>
#include <string>

struct QelSettings {
    int portQel = 1;             // "port_qel": tester bridge, mode 0
    int portIo = 1;              // "port_io": control-board bridge, mode 1
    std::wstring programExecute; // "program_execute": programming command line
    std::wstring programResult;  // "program_result": its result file
    std::array<bool, kStationCount> stationEnabled{true, true, true, true}; // "check_stall0".."3"
};

// Missing values read as the defaults above; any non-zero enable flag is true.
QelSettings LoadSettings(const CProfile& profile);
// Writes all eight, the enable flags as 0 or 1; failures are not reported.
void SaveSettings(CProfile& profile, const QelSettings& settings);

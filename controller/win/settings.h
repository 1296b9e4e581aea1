#pragma once
// The controller's eight stored settings, section "Settings" of the profile.
#include "profile.h"
#include "station_settings.h"

// Missing values read as StationSettings' defaults; any non-zero enable flag is true.
StationSettings LoadSettings(const CProfile& profile);
// Writes all eight, the enable flags as 0 or 1; failures are not reported.
void SaveSettings(CProfile& profile, const StationSettings& settings);

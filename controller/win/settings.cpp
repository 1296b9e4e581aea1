#include "settings.h"

#include "wide.h"

namespace {

constexpr wchar_t kSection[] = L"Settings";
constexpr wchar_t kPortQel[] = L"port_qel";
constexpr wchar_t kPortIo[] = L"port_io";
constexpr wchar_t kProgramExecute[] = L"program_execute";
constexpr wchar_t kProgramResult[] = L"program_result";

std::wstring StationKey(int station) {
    return L"check_stall" + std::to_wstring(station);
}

} // namespace

StationSettings LoadSettings(const CProfile& profile) {
    const StationSettings defaults;
    StationSettings settings;
    settings.portQel = profile.GetInt(kSection, kPortQel, defaults.portQel);
    settings.portIo = profile.GetInt(kSection, kPortIo, defaults.portIo);
    settings.programExecute =
        ToU16(profile.GetString(kSection, kProgramExecute, ToWide(defaults.programExecute)));
    settings.programResult =
        ToU16(profile.GetString(kSection, kProgramResult, ToWide(defaults.programResult)));
    for (int i = 0; i < kStationCount; ++i) {
        settings.stationEnabled[i] =
            profile.GetInt(kSection, StationKey(i).c_str(), defaults.stationEnabled[i]) != 0;
    }
    return settings;
}

void SaveSettings(CProfile& profile, const StationSettings& settings) {
    profile.WriteInt(kSection, kPortQel, settings.portQel);
    profile.WriteInt(kSection, kPortIo, settings.portIo);
    profile.WriteString(kSection, kProgramExecute, ToWide(settings.programExecute));
    profile.WriteString(kSection, kProgramResult, ToWide(settings.programResult));
    for (int i = 0; i < kStationCount; ++i) {
        profile.WriteInt(kSection, StationKey(i).c_str(), settings.stationEnabled[i] ? 1 : 0);
    }
}

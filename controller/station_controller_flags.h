#pragma once
// The stations of the fixture and the outcome flags kept for each of them.
#include <cstdint>

inline constexpr int kStationCount = 4; // indexes 0 to 3, shown as "1#" to "4#"

inline constexpr int32_t FLAG_TEST_PASS = 1;  // no error in the station's measurements
inline constexpr int32_t FLAG_PROGRAM_OK = 2; // the programming command succeeded

// What became of an enabled station's board in a cycle with programming.
enum class StationOutcome { Programmed, ProgramFailed, TestFailed };
constexpr StationOutcome OutcomeOf(int32_t flags) {
    return (flags & FLAG_PROGRAM_OK)  ? StationOutcome::Programmed
           : (flags & FLAG_TEST_PASS) ? StationOutcome::ProgramFailed
                                      : StationOutcome::TestFailed;
}

constexpr bool IsStationIndex(int index) {
    return index >= 0 && index < kStationCount;
}

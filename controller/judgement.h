#pragma once
// Judgement of the tester's measurement groups: "{show?F0/name[_station]/F2/value/limitA/
// limitB/.../unit/...}". Each group adds one line to the pass or error text of its station.
#include <cstdint>
#include <string>
#include <string_view>

class CJudgement {
public:
    static constexpr int kStations = 4;

    std::u16string m_errText[kStations];  // error lines per station index, joined by "\r\n"
    std::u16string m_passText[kStations]; // pass lines per station index, joined by "\r\n"
    int32_t m_stationCount = 0;           // stations to report
    int32_t m_findPos = 0;                // where the search for the next group starts
    std::u16string m_text;                // the tester text being judged

    // Takes `text`, forgets the previous result (m_stationCount := 4, m_findPos := 0, the
    // eight texts emptied) and judges every "{...}" group in order. The scan ends at the
    // first empty group or at a "{" without a "}" after it.
    void JudgeText(std::u16string_view text);

    // Judges one group, braces removed; groups that are not measurements add nothing.
    void JudgeGroup(std::u16string_view group);
};

// The walk over the tester text: every "{...}" in order, each handed to JudgeGroup.
#include "find_char.h"
#include "judgement.h"

#include <algorithm>
#include <climits>

void CJudgement::JudgeText(std::u16string_view text) {
    m_text.assign(text); // keeps the buffer of the last evaluation
    m_stationCount = kStations;
    m_findPos = 0;
    for (int i = 0; i < kStations; ++i) {
        m_errText[i].clear();
        m_passText[i].clear();
    }
    const std::u16string_view all(m_text);
    size_t from = 0;
    for (;;) {
        const size_t open = FindChar(all, u'{', from);
        if (open == std::u16string_view::npos) {
            return;
        }
        const size_t close = FindChar(all, u'}', open + 1);
        if (close == std::u16string_view::npos) {
            return;
        }
        from = close + 1;
        m_findPos = static_cast<int32_t>(std::min<size_t>(from, INT32_MAX));
        if (close == open + 1) {
            return;
        }
        JudgeGroup(all.substr(open + 1, close - open - 1));
    }
}

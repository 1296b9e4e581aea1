// The judgement of a whole tester text: any text, no crash, and the texts it fills start
// with a line of their own station and kind.
#include "judgement.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A name or unit may itself hold "\r\n", so only the first line is sure to be whole.
void CheckFirstLine(const std::u16string& text, int station, std::u16string_view kind) {
    Check(text.empty() || (text.size() > 2 + kind.size() && text[0] == u'1' + station &&
                           text[1] == u'#' && text.substr(2, kind.size()) == kind));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Odd sizes widen byte by byte (text the tester would send); even sizes are UTF-16.
    std::u16string text;
    if (size % 2 == 1) {
        text.assign(data, data + size);
    } else {
        for (size_t i = 0; i < size; i += 2) {
            text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
        }
    }
    CJudgement judge;
    judge.JudgeText(text);
    Check(judge.m_stationCount == CJudgement::kStations);
    Check(judge.m_text == text);
    for (int i = 0; i < CJudgement::kStations; ++i) {
        CheckFirstLine(judge.m_passText[i], i, u" PASS ");
        CheckFirstLine(judge.m_errText[i], i, u" 错误 ");
    }
    return 0;
}

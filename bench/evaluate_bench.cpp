// The judgement scan over a whole tester text, against a plain scan of the same text that
// only counts the braces with memchr. Prints MB/s and the ratio, at three sizes to show that
// the cost grows linearly.
#include "judgement.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// A tester text of `groups` measurement groups over four stations, one in ten failing,
// with a plain line between groups now and then, about 50 bytes per group.
std::string MakeTesterText(int groups) {
    std::string text;
    text.reserve(static_cast<size_t>(groups) * 52);
    char line[128];
    for (int i = 0; i < groups; ++i) {
        if (i % 50 == 0) {
            text += "step ok\r\n";
        }
        const double value = i % 10 == 0 ? 1.2 : 1.0 + (i % 7) * 0.01;
        std::snprintf(line, sizeof line, "{show:%d/R%d_%d/x/%.4f/1.10/0.90/a/kOhm/b}\r\n", i % 97,
                      i % 1000, i % 4 + 1, value);
        text += line;
    }
    return text;
}

size_t CountGroups(const std::string& text) {
    size_t groups = 0;
    const char* at = text.data();
    const char* const end = at + text.size();
    for (;;) {
        const auto* open = static_cast<const char*>(std::memchr(at, '{', end - at));
        if (open == nullptr) {
            return groups;
        }
        const auto* close = static_cast<const char*>(std::memchr(open, '}', end - open));
        if (close == nullptr) {
            return groups;
        }
        ++groups;
        at = close + 1;
    }
}

// The best of `runs` timings of `work`, in seconds.
template <typename Work> double Best(int runs, Work work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void Measure(int groups) {
    const std::string narrow = MakeTesterText(groups);
    const std::u16string wide(narrow.begin(), narrow.end());
    const double megabytes = static_cast<double>(narrow.size()) / 1e6;

    size_t counted = 0;
    const double plain = Best(50, [&] { counted = CountGroups(narrow); });

    CJudgement judge;
    const double judged = Best(20, [&] { judge.JudgeText(wide); });
    size_t lines = 0;
    for (int i = 0; i < CJudgement::kStations; ++i) {
        for (const std::u16string* text : {&judge.m_passText[i], &judge.m_errText[i]}) {
            lines += text->empty() ? 0 : std::count(text->begin(), text->end(), u'\n') + 1;
        }
    }

    std::printf("%7d groups %6.2f MB: plain scan %8.1f MB/s (%zu groups), judgement %7.1f MB/s "
                "(%zu lines, %.0f ns/group), ratio %.1fx\n",
                groups, megabytes, megabytes / plain, counted, megabytes / judged, lines,
                judged * 1e9 / groups, judged / plain);
}

} // namespace

int main() {
    for (const int groups : {25000, 50000, 100000}) {
        Measure(groups);
    }
    return 0;
}

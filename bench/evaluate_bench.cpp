// EvaluateTest over a whole tester text, against a plain scan of the same text that only
// finds the braces with memchr. Prints MB/s and the ratio, at three sizes to show that the
// cost grows linearly.
#include "station_controller.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// A window that shows nothing: the benchmark measures the controller, not the panes.
class NoWindow : public ControllerShell {
public:
    size_t lines = 0;
    void AppendPaneLine(PaneId, std::u16string_view) override { ++lines; }
    void ClearPane(PaneId) override {}
    void PostKeyword(std::string_view) override {}
    void SetStationImage(int, int) override {}
    void Pause(std::chrono::milliseconds) override {}
    void ShowBusyImage(std::u16string_view) override {}
    std::array<std::u16string, 4> ReadQrEdits() override { return {}; }
    void ClearQrEdits() override {}
    void FocusFirstQr() override {}
    void ShowMessage(std::u16string_view) override {}
};

class NoProcess : public ProgramProcess {
public:
    uint32_t Start(std::u16string_view) override { return 2; }
    ProcessPoll Poll() override { return ProcessPoll::Failed; }
    KillResult Kill() override { return {KillResult::Outcome::NoProcess}; }
    void Release() override {}
};

// Records that keep only their size, so no disk time is measured.
class NoRecords : public RecordWriter {
public:
    size_t bytes = 0;
    std::u16string SaveTesterText(std::u16string_view) override { return {}; }
    std::u16string SaveStationRecord(std::u16string_view, std::u16string_view errors,
                                     std::u16string_view passes) override {
        bytes += errors.size() + passes.size();
        return u"saved";
    }
    std::u16string SaveProgramResult(const ProgramSummary&) override { return {}; }
};

class NoFiles : public framework::FileSystem {
public:
    std::unique_ptr<framework::FileHandle> OpenFile(const std::u16string&, unsigned,
                                                    uint32_t& error) override {
        error = framework::kErrorFileNotFound;
        return nullptr;
    }
    uint32_t MakeDirectory(const std::u16string&) override { return framework::kErrorSuccess; }
    bool IsDirectory(const std::u16string&) override { return true; }
    uint32_t RemoveFile(const std::u16string&) override { return framework::kErrorSuccess; }
};

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
        std::snprintf(line, sizeof line, "{show:%d/R%d_%d/x/%.4f/1.100/0.900/a/kOhm/b}\r\n", i % 97,
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

    NoWindow window;
    NoProcess process;
    NoRecords records;
    NoFiles files;
    CStationController qel(window, process, records, files);
    int passed = 0;
    const double judged = Best(20, [&] {
        // Each run starts from a fresh test, as at every "qel_end".
        qel.m_stationFlags.fill(0);
        passed = qel.EvaluateTest(wide);
    });
    size_t lines = 0;
    for (int i = 0; i < CJudgement::kStations; ++i) {
        for (const std::u16string* text : {&qel.m_judge.m_passText[i], &qel.m_judge.m_errText[i]}) {
            lines += text->empty() ? 0 : std::count(text->begin(), text->end(), u'\n') + 1;
        }
    }

    std::printf("%7d groups %5.2f MB: memchr brace scan %7.1f MB/s (%zu groups), EvaluateTest "
                "%6.1f MB/s (%zu lines, %d passed, %.0f ns/group), ratio %.1fx\n",
                groups, megabytes, megabytes / plain, counted, megabytes / judged, lines, passed,
                judged * 1e9 / groups, judged / plain);
}

} // namespace

int main() {
    for (const int groups : {25000, 50000, 100000}) {
        Measure(groups);
    }
    return 0;
}

#include "station_simulator.h"

#include "codepage.h"
#include "judgement.h"
#include "record_names.h"
#include "record_time.h"
#include "station_controller_flags.h"

#include <algorithm>
#include <fstream>

namespace generator {
namespace {

constexpr const char* hostile_codes[] = {
    "<script>alert('qr')</script>",
    "A&B \"quoted\" 'q'",
    "板号-001",
    "=HYPERLINK(\"x\")",
    "AB_2",
    "a/b\\c:d*e?f|g",
    "</td></tr></table>",
};

std::u16string wide(const std::string& utf8) {
    return framework::Utf8ToWide(utf8).value_or(u"");
}
std::string narrow(std::u16string_view text) {
    return framework::WideToUtf8(text).value_or("");
}

} // namespace

framework::LocalTime station_simulator::sim_clock::Now() {
    const int64_t rest = seconds % 86400;
    const report::civil_date date = report::civil_from_days(seconds / 86400);
    const auto year = static_cast<uint16_t>(date.year);
    const auto month = static_cast<uint16_t>(date.month);
    const auto day = static_cast<uint16_t>(date.day);
    return {year,
            month,
            0,
            day,
            static_cast<uint16_t>(rest / 3600),
            static_cast<uint16_t>(rest / 60 % 60),
            static_cast<uint16_t>(rest % 60),
            0};
}

station_simulator::station_simulator(const line_plan& plan, int index)
    : m_plan(plan), m_index(index), m_root(plan.out / ("ST" + std::to_string(index + 1))),
      m_records(m_files, m_clock, [](const std::u16string&) {}),
      m_model(plan.seed * 7919 + static_cast<uint64_t>(index), plan.measurements) {
    m_truth.name = "ST" + std::to_string(index + 1);
    std::filesystem::create_directories(m_root);
    m_files.MapDrive(u'D', m_root);
    // A day's cycles fit into 20 hours: a busy plan runs them faster.
    m_pace = std::min(1.0, 72000.0 / (100.0 * std::max(plan.cycles_per_day, 1)));
}

void station_simulator::run() {
    const int64_t first_day = report::day_number(m_plan.year, m_plan.month, m_plan.day).value_or(0);
    const int total = m_plan.days * m_plan.cycles_per_day;
    int done = 0;
    for (int d = 0; d < m_plan.days; ++d) {
        // Shifts start at 06:00; a cycle takes 70 to 130 s with its loading.
        m_clock.seconds = (first_day + d) * 86400 + 6 * 3600 + m_index * 7;
        for (int c = 0; c < m_plan.cycles_per_day; ++c) {
            run_cycle(static_cast<double>(done++) / total);
            m_clock.seconds +=
                std::max<int64_t>(10, static_cast<int64_t>(m_model.pick(70, 130) * m_pace));
        }
    }
    for (const auto& [qr, state] : m_boards) {
        ++m_truth.boards;
        m_truth.first_pass += state.first_pass;
        m_truth.final_pass += state.last_pass;
        if (state.tests > 1) {
            ++m_truth.retested_boards;
            m_truth.retests += state.tests - 1;
        }
    }
    write_odd_files();
}

std::string station_simulator::next_qr() {
    if (m_hostile < std::size(hostile_codes) && m_serial % 97 == 5) {
        ++m_serial;
        return hostile_codes[m_hostile++];
    }
    if (m_model.chance(0.01)) {
        return "";
    }
    char qr[32];
    std::snprintf(qr, sizeof qr, "L1S%d-%07llu", m_index + 1,
                  static_cast<unsigned long long>(++m_serial));
    return qr;
}

board station_simulator::next_board(bool retest_allowed) {
    if (retest_allowed && !m_retests.empty()) {
        board b = m_retests.front();
        m_retests.pop_front();
        return b;
    }
    return m_model.new_board(next_qr());
}

void station_simulator::run_cycle(double progress) {
    std::array<board, 4> boards;
    for (int slot = 0; slot < 4; ++slot) {
        // At most two retests a cycle, so new boards keep coming.
        boards[slot] = next_board(slot < 2);
    }
    if (m_model.chance(0.003) && !boards[0].qr.empty()) {
        boards[1] = boards[0]; // one label scanned for two boards
    }
    const int silent_slot = m_model.chance(0.01) ? m_model.pick(1, 4) : 0;
    std::string text = "ICT program QEL-4 rev 3\r\n";
    int group = 0;
    for (int slot = 1; slot <= 4; ++slot) {
        if (slot != silent_slot) {
            m_model.measure(boards[slot - 1], slot, progress, text, group);
        }
    }
    CJudgement judge;
    judge.JudgeText(wide(text));

    ProgramSummary summary;
    int passed = 0;
    for (int i = 0; i < 4; ++i) {
        board& b = boards[i];
        const std::u16string qr = wide(b.qr);
        const bool pass = judge.m_errText[i].empty();
        m_records.SaveStationRecord(qr, judge.m_errText[i], judge.m_passText[i]);
        count_record(b, i + 1, pass, judge.m_errText[i], judge.m_passText[i]);
        const bool programmed = pass && !m_model.chance(0.02);
        summary[i] = {true, (pass ? FLAG_TEST_PASS : 0) | (programmed ? FLAG_PROGRAM_OK : 0), qr};
        passed += pass;
        if (!pass && ++b.tests < 3 && !b.qr.empty() && m_model.chance(0.8)) {
            m_retests.push_back(b);
        }
    }
    // As the controller: with no board passed the cycle ends without programming results.
    if (passed == 0) {
        return;
    }
    m_clock.seconds += 4 * passed;
    m_records.SaveProgramResult(summary);
    for (int i = 0; i < 4; ++i) {
        slot_truth& slot = m_truth.slots[i];
        const int32_t flags = summary[i].flags;
        ++(!(flags & FLAG_TEST_PASS)   ? slot.not_programmed
           : (flags & FLAG_PROGRAM_OK) ? slot.programmed_ok
                                       : slot.programmed_failed);
    }
}

void station_simulator::count_record(const board& b, int slot, bool pass,
                                     const std::u16string& errors, const std::u16string& passes) {
    ++m_truth.records;
    slot_truth& s = m_truth.slots[slot - 1];
    if (errors.empty() && passes.empty()) {
        ++s.no_result; // the tester printed nothing for the slot: no board result
        return;
    }
    ++s.tested;
    ++(pass ? s.passed : s.failed);
    // Lines: "N# PASS name=..." or "N# 错误 name=... 范围=low___high".
    for (const std::u16string* lines : {&errors, &passes}) {
        const std::string text = narrow(*lines);
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find("\r\n", start);
            end = end == std::string::npos ? text.size() : end;
            const std::string line = text.substr(start, end - start);
            start = end + 2;
            const size_t name_start = line.find(' ', 3) + 1;
            const std::string name = line.substr(name_start, line.find('=') - name_start);
            const std::string limits = line.substr(line.rfind('=') + 1);
            ++m_truth.counts[name];
            m_truth.fails[name] += lines == &errors;
            auto [last, first_time] = m_limits.try_emplace(name, limits, "");
            if (!first_time && last->second.first != limits) {
                ++m_truth.limit_changes;
                last->second.first = limits;
            }
        }
    }
    const std::string key = narrow(FileNameSafe(wide(b.qr)));
    if (key.empty()) {
        ++m_truth.records_without_qr; // no board to follow
        return;
    }
    board_state& state = m_boards[key];
    if (state.tests++ == 0) {
        state.first_pass = pass;
    }
    state.last_pass = pass;
}

void station_simulator::write_odd_files() {
    // A record cut short, a stray file, and a record someone saved again as UTF-16.
    const std::filesystem::path folder =
        m_root / "xlog.data" / "qel_data" / narrow(DateDirectoryName(m_clock.Now()));
    std::filesystem::create_directories(folder);
    const std::string stamp = narrow(DateDirectoryName(m_clock.Now())) + "_235959";
    std::ofstream(folder / (stamp + "_QRCUT-1.txt"), std::ios::binary)
        << "\r\n1# PASS R1=10.020kOhm range=9.500___10.5";
    std::ofstream(folder / "Thumbs.db", std::ios::binary) << std::string("\0\x01\x02junk", 7);
    std::ofstream(folder / (stamp + "_QRUTF16-1.txt"), std::ios::binary)
        << std::string("\xFF\xFE\r\0\n\0", 6);
    m_truth.unparsed += 3;
}

} // namespace generator

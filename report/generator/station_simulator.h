#pragma once
// One station of the line: cycles of four boards through the controller's own judgement
// and record writer, on a simulated clock, into <out>/<name>/xlog.data. Failed boards come
// back for a retest in a later cycle, some boards have no QR code, a label scanned twice
// gives two records of one code in one second, a few QR codes are hostile, and now and
// then the tester prints nothing for a slot.
#include "board_model.h"
#include "generator_truth.h"
#include "line_plan.h"

#include "clock.h"
#include "posix/posix_file_system.h"
#include "records.h"

#include <deque>
#include <map>
#include <string>

namespace generator {

class station_simulator {
public:
    station_simulator(const line_plan& plan, int index);
    void run();
    const station_truth& truth() const { return m_truth; }

private:
    class sim_clock : public framework::Clock {
    public:
        int64_t seconds = 0; // since 1970, local
        framework::LocalTime Now() override;
    };
    struct board_state {
        bool first_pass = false;
        bool last_pass = false;
        uint32_t tests = 0;
    };

    void run_cycle(double progress);
    board next_board(bool retest_allowed);
    std::string next_qr();
    void count_record(const board& b, int slot, bool pass, const std::u16string& errors,
                      const std::u16string& passes);
    void write_odd_files();

    const line_plan& m_plan;
    int m_index;
    std::filesystem::path m_root;
    framework::PosixFileSystem m_files;
    sim_clock m_clock;
    Records m_records;
    board_model m_model;
    std::deque<board> m_retests;
    double m_pace = 1; // the share of a cycle's usual time it takes
    uint64_t m_serial = 0;
    size_t m_hostile = 0;
    std::map<std::string, board_state> m_boards;
    std::map<std::string, std::pair<std::string, std::string>> m_limits; // name -> last limits
    station_truth m_truth;
};

} // namespace generator

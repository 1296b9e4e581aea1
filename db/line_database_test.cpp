// The line's database through the real programs: qeldb ingests a generated line, qelreport
// reports from it, and the report must be the one from the files.
#include "line_generator.h"
#include "postgres_server.h"
#include "store.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string read_text(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

struct run_result {
    int status = -1;
    std::string output; // stdout and stderr
};

pid_t start(const std::vector<std::string>& command, const fs::path& output) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        dup2(fd, 2);
        std::vector<char*> argv;
        for (const std::string& part : command) {
            argv.push_back(const_cast<char*>(part.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

run_result finish(pid_t pid, const fs::path& output) {
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), read_text(output)};
}

// Each test runs on SQLite and on PostgreSQL.
class line_database : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        m_work =
            fs::temp_directory_path() / ("qeldb_test_" + std::to_string(getpid()) + "_" + name);
        fs::remove_all(m_work);
        fs::create_directories(m_work);
        m_postgres = std::string(GetParam()) == "postgresql";
        m_database = m_postgres ? db::testing::shared_server().create_database()
                                : (m_work / "line.db").string();
    }
    void TearDown() override { fs::remove_all(m_work); }

    run_result run(std::vector<std::string> command) {
        const fs::path output = m_work / ("out" + std::to_string(++m_runs));
        return finish(start(command, output), output);
    }
    std::vector<std::string> ingest_command() const {
        std::vector<std::string> command = {QELDB, "ingest", "--db", m_database};
        for (const fs::path& root : m_roots) {
            command.push_back(root.string());
        }
        return command;
    }
    run_result ingest() { return run(ingest_command()); }

    void generate(int days, int cycles_per_day) {
        generator::line_plan plan;
        plan.out = m_work / "line";
        plan.days = days;
        plan.cycles_per_day = cycles_per_day;
        generator::generate_line(plan);
        for (int i = 1; i <= plan.stations; ++i) {
            m_roots.push_back(plan.out / ("ST" + std::to_string(i)) / "xlog.data");
        }
    }

    // The report's four files from the folders and from the database are the same bytes.
    void expect_same_report() {
        std::vector<std::string> files = {QELREPORT, "--out", (m_work / "from_files").string()};
        for (const fs::path& root : m_roots) {
            files.push_back(root.string());
        }
        ASSERT_EQ(run(files).status, 0);
        const run_result from_db =
            run({QELREPORT, "--db", m_database, "--out", (m_work / "from_db").string()});
        ASSERT_EQ(from_db.status, 0) << from_db.output;
        for (const char* name : {"summary.json", "boards.csv", "measurements.csv", "report.html"}) {
            const std::string expected = read_text(m_work / "from_files" / name);
            ASSERT_GT(expected.size(), 100u) << name;
            EXPECT_TRUE(expected == read_text(m_work / "from_db" / name)) << name << " differs";
        }
    }

    // 0 before the first ingest has made the tables.
    uint64_t stored_files() {
        uint64_t files = 0;
        try {
            const auto database = db::open_store(m_database, false);
            for (const db::station_entry& station : database->stations()) {
                files += database->files_of_station(station.id);
            }
        } catch (const db::store_error&) {
        }
        return files;
    }

    fs::path m_work;
    bool m_postgres = false;
    std::string m_database;
    std::vector<fs::path> m_roots;
    int m_runs = 0;
};

TEST_P(line_database, ReportFromTheDatabaseIsTheReportFromTheFilesAndStaysAfterChanges) {
    generate(2, 40);
    const run_result first = ingest();
    ASSERT_EQ(first.status, 0) << first.output;
    EXPECT_NE(first.output.find("ST1: 403 new, 0 changed, 0 unchanged, 3 unparsed, 0 vanished"),
              std::string::npos)
        << first.output;
    expect_same_report();

    // Nothing changed: nothing is written.
    const std::string before = m_postgres ? "" : read_text(m_database);
    const run_result again = ingest();
    EXPECT_NE(again.output.find("ST1: 0 new, 0 changed, 403 unchanged, 3 unparsed, 0 vanished"),
              std::string::npos)
        << again.output;
    EXPECT_TRUE(m_postgres || before == read_text(m_database));

    // A rewritten record replaces its rows; a file only touched is unchanged; a file gone
    // keeps its rows.
    const fs::path day = m_roots[0] / "qel_data" / "20240301";
    std::vector<fs::path> records;
    for (const auto& entry : fs::directory_iterator(day)) {
        if (entry.path().filename().string().find("_QR") != std::string::npos) {
            records.push_back(entry.path());
        }
    }
    std::sort(records.begin(), records.end());
    std::string text = read_text(records[0]);
    char& digit = text[text.find('=') + 1]; // the first value's first digit
    digit = digit == '9' ? '8' : '9';
    std::ofstream(records[0], std::ios::binary) << text;
    fs::last_write_time(records[1], fs::last_write_time(records[1]) + 1h);
    const std::string gone = read_text(records[2]);
    fs::remove(records[2]);
    const run_result changed = ingest();
    EXPECT_NE(changed.output.find("ST1: 0 new, 1 changed, 401 unchanged, 3 unparsed, 1 vanished"),
              std::string::npos)
        << changed.output;

    // The vanished file's rows were kept: back in its folder it is found unchanged, and
    // the report is again the files' own.
    std::ofstream(records[2], std::ios::binary) << gone;
    const run_result back = ingest();
    EXPECT_NE(back.output.find("ST1: 0 new, 0 changed, 403 unchanged, 3 unparsed, 0 vanished"),
              std::string::npos)
        << back.output;
    expect_same_report();
}

TEST_P(line_database, IngestsKilledAnywhereOrRunTogetherStoreEveryRecordOnce) {
    generate(3, 100);
    // Killed before anything, after the first folder and halfway, one after the other.
    for (const uint64_t stored : {uint64_t{0}, uint64_t{1}, uint64_t{2500}}) {
        const fs::path output = m_work / ("killed" + std::to_string(stored));
        const pid_t pid = start(ingest_command(), output);
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (stored && (m_postgres || fs::exists(m_database)) && stored_files() < stored &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(2ms);
        }
        ASSERT_LT(std::chrono::steady_clock::now(), deadline)
            << "waited 60 s for " << stored << " files stored";
        kill(pid, SIGKILL);
        finish(pid, output);
    }
    // Two at once to finish it.
    const fs::path one = m_work / "one", two = m_work / "two";
    const pid_t first = start(ingest_command(), one);
    const pid_t second = start(ingest_command(), two);
    const run_result first_done = finish(first, one);
    const run_result second_done = finish(second, two);
    ASSERT_EQ(first_done.status, 0) << first_done.output;
    ASSERT_EQ(second_done.status, 0) << second_done.output;
    expect_same_report();
}

TEST_P(line_database, BoardRetestedOnAnotherStationShowsBothRecordsInTimeOrder) {
    const auto write = [&](const std::string& station, const std::string& name,
                           const std::string& text) {
        const fs::path folder = m_work / station / "xlog.data" / "qel_data" / "20240301";
        fs::create_directories(folder);
        std::ofstream(folder / name, std::ios::binary) << text;
        return m_work / station / "xlog.data";
    };
    m_roots.push_back(write("ICT2", "20240301_090000_QRB-7.txt",
                            "3# PASS R1=10.000kOhm range=9.500___10.500\r\n"));
    write("ICT2", "20240301_090001Program_Result.txt",
          "3#QRB-7 写入成功\r\n4#QRB-8 该位置未使能，未执行写入操作\r\n");
    m_roots.push_back(write("ICT1", "20240301_080000_QRB-7.txt",
                            "1# 错误 R1=12.000kOhm 范围=9.500___10.500\r\n"
                            "1# 错误 C2=-inf 范围=1.000___2.000\r\n"));
    write("ICT1", "20240301_080001Program_Result.txt", "1#QRB-7 QEL未通过，未执行写入操作\r\n");
    ASSERT_EQ(ingest().status, 0);
    const run_result board = run({QELDB, "board", "--db", m_database, "--json", "B-7"});
    ASSERT_EQ(board.status, 0) << board.output;
    EXPECT_EQ(board.output, R"({
  "qr": "B-7",
  "records": [
    {
      "station": "ICT1",
      "time": "2024-03-01 08:00:00",
      "slot": 1,
      "result": "fail",
      "failed": [
        "R1",
        "C2"
      ],
      "programming": "not programmed"
    },
    {
      "station": "ICT2",
      "time": "2024-03-01 09:00:00",
      "slot": 3,
      "result": "pass",
      "failed": [],
      "programming": "programmed"
    }
  ]
}
)");
    const std::string none =
        m_postgres ? db::testing::shared_server().conninfo("none") : (m_work / "none.db").string();
    const run_result missing = run({QELDB, "board", "--db", none, "B-7"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("qeldb: "), std::string::npos) << missing.output;
}

INSTANTIATE_TEST_SUITE_P(engines, line_database, testing::Values("sqlite", "postgresql"),
                         [](const testing::TestParamInfo<const char*>& engine) {
                             return std::string(engine.param);
                         });

} // namespace

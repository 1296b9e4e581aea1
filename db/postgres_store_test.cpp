// The PostgreSQL engine against a server of the test program's own: rows read back exactly,
// replaced files, the board query, the ingest lock and the schema's version.
#include "postgres_server.h"
#include "postgres_store.h"
#include "pq_connection.h"
#include "record_time.h"
#include "schema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <future>
#include <limits>

namespace db {
namespace {

using namespace std::chrono_literals;
using report::judgement_line;
using report::program_outcome;

constexpr double inf = std::numeric_limits<double>::infinity();

file_content entry(int64_t station, int64_t root, std::string path, std::optional<int64_t> day) {
    file_content content;
    content.station = station;
    content.file.root = root;
    content.file.path = std::move(path);
    content.file.size = 1234;
    content.file.mtime = 1709251199123456789;
    content.file.hash = 0xfedcba9876543210; // beyond bigint's positive range
    content.folder_day = day;
    return content;
}

file_content record(int64_t station, int64_t root, std::string path, int64_t time, std::string qr,
                    std::vector<judgement_line> lines) {
    file_content content = entry(station, root, std::move(path), std::nullopt);
    content.is_record = true;
    content.time = time;
    content.qr = std::move(qr);
    content.lines = std::move(lines);
    return content;
}

file_content results(int64_t station, int64_t root, std::string path, int64_t time,
                     std::vector<report::program_line> lines) {
    file_content content = entry(station, root, std::move(path), std::nullopt);
    content.is_program_result = true;
    content.time = time;
    content.results = std::move(lines);
    return content;
}

judgement_line line(int slot, bool pass, std::string_view name, double value = 1.0) {
    return {
        .slot = slot, .pass = pass, .name = name, .value = value, .unit = "V", .low = 0, .high = 2};
}

// The same double, bit for bit; any NaN is NULL in the database.
void expect_same(double stored, double read, const char* what) {
    if (std::isnan(stored)) {
        EXPECT_TRUE(std::isnan(read)) << what;
    } else {
        EXPECT_EQ(std::bit_cast<uint64_t>(stored), std::bit_cast<uint64_t>(read))
            << what << ": " << stored << " read back as " << read;
    }
}

class PostgresStore : public ::testing::Test {
protected:
    void SetUp() override {
        conninfo = testing::shared_server().create_database();
        db = open_postgres_store(conninfo);
        db->migrate();
        station = db->station_id("ICT-1");
        root = db->root_id(station, "/srv/ict1");
    }

    int64_t count(const char* table) {
        return pq::connection(conninfo)
            .exec((std::string("SELECT count(*) FROM ") + table).c_str())
            .integer(0, 0);
    }

    std::string conninfo;
    std::unique_ptr<store> db;
    int64_t station = 0;
    int64_t root = 0;
};

TEST_F(PostgresStore, AFolderReadsBackAsStoredAcrossAMonthsEnd) {
    const int64_t day = *report::day_number(2024, 2, 29);
    const int64_t march = *report::day_number(2024, 3, 1) * report::seconds_per_day;
    const int64_t other_root = db->root_id(station, "/mnt/share");
    const std::string awkward = std::string("a\tb\\c\nd\re") + '\0' + "f\xff";
    const std::vector<judgement_line> lines = {
        {.slot = 3,
         .pass = true,
         .name = "R1",
         .value = 0.1,
         .unit = "kΩ",
         .low = -inf,
         .high = inf},
        {.slot = 3,
         .pass = false,
         .name = awkward,
         .value = NAN,
         .unit = "",
         .low = -0.0,
         .high = 5e-324},
        {.slot = 4,
         .pass = true,
         .name = "C2",
         .value = 1.7976931348623157e308,
         .unit = "µF",
         .low = NAN,
         .high = 1e-300},
    };
    file_content before = record(station, other_root, "20240229/a.txt", march - 1, "Q1", lines);
    file_content after = record(station, root, "20240229/b.txt", march, "Q1\t2", {});
    file_content programmed = results(
        station, root, "20240229/a.prog", march,
        {{1, "Q1", program_outcome::disabled}, {2, "Q\\2", program_outcome::not_programmed}});
    file_content broken = record(station, root, "20240229/c.txt", march, "", {});
    broken.file.problem = "no stamp in the name";
    // A record whose stamp is far from its folder's date.
    file_content stray = record(station, root, "20240229/d.txt",
                                march - 400 * report::seconds_per_day, "Q0", {line(1, true, "R1")});
    file_content top = entry(station, root, "notes.txt", std::nullopt);
    top.file.problem = "not a record";
    for (file_content* content : {&before, &after, &programmed, &broken, &stray}) {
        content->folder_day = day;
    }
    db->begin();
    for (const file_content* content : {&before, &after, &programmed, &broken, &stray, &top}) {
        db->store_file(*content, 0);
    }
    db->commit();

    folder_rows rows;
    db->read_folder(station, day, rows);
    std::vector<std::string> paths;
    for (const stored_file& file : rows.files) {
        paths.push_back(file.path);
        EXPECT_EQ(file.hash, 0xfedcba9876543210);
        EXPECT_EQ(file.mtime, 1709251199123456789);
    }
    EXPECT_EQ(paths,
              (std::vector<std::string>{"20240229/a.prog", "20240229/b.txt", "20240229/c.txt",
                                        "20240229/d.txt", "20240229/a.txt"}))
        << "by root, then path";
    EXPECT_EQ(rows.files[2].problem, "no stamp in the name");
    EXPECT_EQ(rows.files[4].root, other_root);

    ASSERT_EQ(rows.records.size(), 3u) << "the entry with a problem has no rows";
    EXPECT_EQ(rows.records[0].file, rows.files[1].id);
    EXPECT_TRUE(rows.records[0].lines.empty());
    EXPECT_EQ(rows.records[1].file, rows.files[3].id);
    EXPECT_EQ(rows.records[1].lines.size(), 1u);
    EXPECT_EQ(rows.records[2].file, rows.files[4].id);
    const std::vector<stored_line>& read = rows.records[2].lines;
    ASSERT_EQ(read.size(), lines.size());
    EXPECT_EQ(read[1].name, "a\tb\\c\nd\re\xEF\xBF\xBD"
                            "f\xEF\xBF\xBD")
        << "NUL and the malformed byte replaced, the rest kept";
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i].slot, lines[i].slot);
        EXPECT_EQ(read[i].pass, lines[i].pass);
        EXPECT_EQ(read[i].unit, lines[i].unit);
        expect_same(lines[i].value, read[i].value, "value");
        expect_same(lines[i].low, read[i].low, "low");
        expect_same(lines[i].high, read[i].high, "high");
    }

    ASSERT_EQ(rows.program_results.size(), 1u);
    EXPECT_EQ(rows.program_results[0].file, rows.files[0].id);
    const std::vector<stored_result>& outcomes = rows.program_results[0].lines;
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].outcome, program_outcome::disabled);
    EXPECT_EQ(outcomes[1].qr, "Q\\2");
    EXPECT_EQ(outcomes[1].outcome, program_outcome::not_programmed);

    EXPECT_EQ(db->folder_days(station), std::vector<int64_t>{day});
    const std::vector<stored_file> tops = db->files_in(station, std::nullopt);
    ASSERT_EQ(tops.size(), 1u);
    EXPECT_EQ(tops[0].path, "notes.txt");
    EXPECT_EQ(db->files_of_station(station), 6u);
    EXPECT_EQ(count("test_records_y2024m02"), 1) << "each month in its own partition";
    EXPECT_EQ(count("test_records_y2024m03"), 1);
}

TEST_F(PostgresStore, AReplacedFileLeavesOnlyItsNewRows) {
    const int64_t day = *report::day_number(2024, 5, 2);
    const int64_t time = day * report::seconds_per_day + 3600;
    file_content first = record(station, root, "20240502/a.txt", time, "Q1",
                                {line(1, true, "R1"), line(1, false, "R2")});
    file_content cycle =
        results(station, root, "20240502/a.prog", time, {{1, "Q1", program_outcome::programmed}});
    first.folder_day = cycle.folder_day = day;
    db->begin();
    db->store_file(first, 0);
    db->store_file(cycle, 0);
    db->commit();

    const std::vector<stored_file> stored = db->files_in(station, day);
    ASSERT_EQ(stored.size(), 2u);
    file_content second =
        record(station, root, "20240502/a.txt", time + 60, "Q1", {line(2, true, "R9")});
    file_content recycled =
        results(station, root, "20240502/a.prog", time + 60, {{2, "Q1", program_outcome::failed}});
    second.folder_day = recycled.folder_day = day;
    second.file.size = 99;
    db->begin();
    for (const stored_file& file : stored) {
        db->store_file(file.path == "20240502/a.txt" ? second : recycled, file.id);
    }
    db->commit();

    folder_rows rows;
    db->read_folder(station, day, rows);
    ASSERT_EQ(rows.files.size(), 2u);
    EXPECT_EQ(rows.files[1].size, 99);
    ASSERT_EQ(rows.records.size(), 1u);
    ASSERT_EQ(rows.records[0].lines.size(), 1u);
    EXPECT_EQ(rows.records[0].lines[0].name, "R9");
    ASSERT_EQ(rows.program_results.size(), 1u);
    ASSERT_EQ(rows.program_results[0].lines.size(), 1u);
    EXPECT_EQ(rows.program_results[0].lines[0].outcome, program_outcome::failed);
    EXPECT_EQ(count("measurements"), 1) << "the earlier record's measurements are gone";
    EXPECT_EQ(db->board("Q1").size(), 1u);
}

std::string shown(const board_record& record) {
    return record.station + " " + std::to_string(record.time) + " " + std::to_string(record.slot) +
           " " + record.result + " [" + record.failed + "] [" + record.programming + "]";
}

TEST_F(PostgresStore, TheBoardJoinsStationsRecordsAndTheirCyclesOutcomes) {
    const int64_t second_station = db->station_id("ICT-0");
    const int64_t second_root = db->root_id(second_station, "/srv/ict0");
    const int64_t t = *report::day_number(2024, 6, 1) * report::seconds_per_day;
    db->begin();
    // The same time at both stations: ordered by name.
    db->store_file(record(station, root, "a", t, "Q1", {line(2, true, "R1")}), 0);
    db->store_file(record(second_station, second_root, "a", t, "Q1",
                          {line(1, true, "R1"), line(1, false, "C2"), line(1, false, "R3")}),
                   0);
    // Slot 1 is another board's; ICT-0's cycle is past the minute.
    db->store_file(
        results(station, root, "a.prog", t + 30,
                {{1, "Q1", program_outcome::disabled}, {2, "Q1", program_outcome::programmed}}),
        0);
    db->store_file(results(second_station, second_root, "a.prog", t + 61,
                           {{1, "Q1", program_outcome::programmed}}),
                   0);
    // A record naming no slot takes the cycle's first outcome for the board.
    db->store_file(record(station, root, "b", t + 600, "Q1", {}), 0);
    db->store_file(results(station, root, "b.prog", t + 600, {{3, "Q1", program_outcome::failed}}),
                   0);
    db->store_file(record(station, root, "c", t + 600, "Q2", {line(1, true, "R1")}), 0);
    db->commit();

    std::vector<std::string> board;
    for (const board_record& record : db->board("Q1")) {
        board.push_back(shown(record));
    }
    const std::string time = std::to_string(t);
    const std::string later = std::to_string(t + 600);
    EXPECT_EQ(board, (std::vector<std::string>{
                         "ICT-0 " + time + " 1 fail [C2;R3] []",
                         "ICT-1 " + time + " 2 pass [] [programmed]",
                         "ICT-1 " + later + " 0 no result [] [failed]",
                     }));
}

TEST_F(PostgresStore, AFailedCommitRollsBackItsMonthsAndTheStoreGoesOn) {
    const int64_t time = *report::day_number(2023, 1, 15) * report::seconds_per_day;
    db->begin();
    db->store_file(record(station + 1000, root, "a", time, "Q1", {line(1, true, "R1")}), 0);
    try {
        db->commit();
        FAIL() << "a file of no station was stored";
    } catch (const store_error& error) {
        EXPECT_NE(std::string(error.what()).find("source_files"), std::string::npos)
            << error.what();
    }
    db->rollback();

    // The month's partitions went with the transaction that made them.
    db->begin();
    db->store_file(record(station, root, "a", time, "Q1", {line(1, true, "R1")}), 0);
    db->commit();
    EXPECT_EQ(db->board("Q1").size(), 1u);
}

// Whether a session of the test's database waits for a lock, within 10 s.
bool lock_awaited(pq::connection& probe) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (probe.exec("SELECT count(*) FROM pg_locks WHERE NOT granted").integer(0, 0) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
    }
    return true;
}

TEST_F(PostgresStore, AFolderIsReadAsOfOneMomentWhileAnIngestCommits) {
    const int64_t day = *report::day_number(2024, 7, 1);
    const int64_t time = day * report::seconds_per_day;
    file_content stored =
        record(station, root, "20240701/a.txt", time, "Q1", {line(1, true, "R1")});
    stored.folder_day = day;
    db->begin();
    db->store_file(stored, 0);
    db->commit();

    // Another ingest commits a file and its record while the folder's lines are being read.
    folder_rows rows;
    std::future<void> read; // declared first: on a failure the lock goes before it is awaited
    pq::connection ingest(conninfo);
    ingest.exec("BEGIN; LOCK TABLE measurements");
    read = std::async(std::launch::async, [&] { db->read_folder(station, day, rows); });
    ASSERT_TRUE(lock_awaited(ingest)) << "read_folder never reached the measurements";
    ingest.exec(("WITH file AS (INSERT INTO source_files (station, root, path, folder_day, size, "
                 "mtime, hash, ingested_at) VALUES (" +
                 std::to_string(station) + ", " + std::to_string(root) + ", '20240701/b.txt', " +
                 std::to_string(day) + ", 0, 0, 0, 0) RETURNING id) " +
                 "INSERT INTO test_records SELECT nextval('test_records_id'), " +
                 std::to_string(station) + ", id, " + std::to_string(time) +
                 ", 'Q2', 1, 'no result', " + std::to_string(time) + " FROM file; COMMIT")
                    .c_str());
    ASSERT_EQ(read.wait_for(10s), std::future_status::ready)
        << "read_folder did not end within 10 s of the lock going";
    read.get();
    ASSERT_EQ(rows.files.size(), 1u);
    ASSERT_EQ(rows.records.size(), 1u) << "a record whose file the listing did not see";
    EXPECT_EQ(rows.records[0].file, rows.files[0].id);
}

TEST_F(PostgresStore, ASecondIngestWaitsForTheFirstToEnd) {
    std::future<void> second_locked; // declared first: it ends after the first store goes
    std::unique_ptr<store> second = open_postgres_store(conninfo);
    db->lock_ingest();
    second_locked = std::async(std::launch::async, [&] { second->lock_ingest(); });

    pq::connection probe(conninfo);
    ASSERT_TRUE(lock_awaited(probe)) << "the second lock_ingest did not wait for the lock";
    EXPECT_EQ(second_locked.wait_for(0s), std::future_status::timeout)
        << "the second lock_ingest returned while the first held the lock";
    db.reset(); // the first ingest ends
    ASSERT_EQ(second_locked.wait_for(10s), std::future_status::ready)
        << "the second lock_ingest did not return within 10 s of the first ending";
    second_locked.get();
}

TEST_F(PostgresStore, MigrateKeepsWhatIsThereAndRefusesALaterVersion) {
    EXPECT_EQ(db->migrate(), schema_version);
    EXPECT_EQ(db->station_id("ICT-1"), station);

    // Two first ingests at once on an empty database: one makes the tables.
    const std::string empty = testing::shared_server().create_database();
    std::vector<std::future<int>> found;
    for (int i = 0; i < 2; ++i) {
        found.push_back(
            std::async(std::launch::async, [&] { return open_postgres_store(empty)->migrate(); }));
    }
    std::vector<int> versions = {found[0].get(), found[1].get()};
    std::sort(versions.begin(), versions.end());
    EXPECT_EQ(versions, (std::vector<int>{0, schema_version}));

    pq::connection(conninfo).exec("UPDATE schema_version SET version = version + 1");
    EXPECT_THROW(db->migrate(), store_error);
    EXPECT_EQ(db->station_id("ICT-1"), station) << "refused, and nothing changed";
}

} // namespace
} // namespace db

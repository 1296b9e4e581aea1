#include "sqlite_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

// Two ingests starting together both meet stations and roots that are new to the database.
TEST(SqliteStore, StationsAndRootsMadeByTwoIngestsAtOnceAreTheSameRows) {
    const fs::path path =
        fs::temp_directory_path() / ("qeldb_sqlite_" + std::to_string(::getpid()) + ".db");
    fs::remove(path);
    db::open_sqlite_store(path.string(), true)->migrate();
    const auto make = [&](std::vector<int64_t>& ids, std::string& problem) {
        try {
            const auto database = db::open_sqlite_store(path.string(), false);
            for (int i = 0; i < 300; ++i) {
                const int64_t station = database->station_id("ST" + std::to_string(i));
                ids.push_back(station);
                ids.push_back(database->root_id(station, "/srv/line/xlog.data"));
            }
        } catch (const db::store_error& error) {
            problem = error.what();
        }
    };
    std::vector<int64_t> first, second;
    std::string first_problem, second_problem;
    std::thread other(make, std::ref(first), std::ref(first_problem));
    make(second, second_problem);
    other.join();
    EXPECT_EQ(first_problem, "");
    EXPECT_EQ(second_problem, "");
    EXPECT_EQ(first, second);
    fs::remove(path);
    fs::remove(path.string() + "-wal");
    fs::remove(path.string() + "-shm");
}

} // namespace

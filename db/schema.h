#pragma once
// The tables' version and how to get there from any earlier one, for both engines. A
// database records its version; opening one of a later version than this program knows is
// refused rather than written wrongly.
#include <cstdint>
#include <string>
#include <vector>

namespace db {

inline constexpr int schema_version = 1;

// A pass that stores this many files has the engine's statistics gathered at its end; smaller
// ones are left to the engine's own upkeep.
inline constexpr uint64_t statistics_after_files = 10000;

struct migration {
    int version;          // the version the database has after these statements
    std::string sqlite;   // statements separated by ";"
    std::string postgres; // the same tables in PostgreSQL's words
};

// In order of version, from an empty database.
const std::vector<migration>& migrations();

} // namespace db

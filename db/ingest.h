#pragma once
// Stores a station's records from its xlog.data folders: new and changed files are read and
// their rows replaced, a date folder at a time in one transaction each, so that an ingest
// stopped anywhere leaves every file stored whole or not at all, and the next one completes
// the tree. Unchanged files (same size and time) are not read; a file that vanished keeps
// its rows.
#include "options.h"
#include "store.h"

#include <cstdint>
#include <functional>
#include <string>

namespace db {

struct ingest_counts {
    uint64_t added = 0;   // entries stored for the first time
    uint64_t changed = 0; // entries whose content changed, their rows replaced
    uint64_t unchanged = 0;
    uint64_t unparsed = 0; // of all those, the ones that are no record
    uint64_t vanished = 0; // stored, but no longer in the folders
};

struct ingest_events {
    std::function<void(uint64_t files)> progress;            // entries looked at so far
    std::function<void(const std::string& problem)> problem; // a root or folder not read
    std::function<void(const std::string& file, const std::string& reason)> unparsed; // new ones
    std::function<bool()> stop; // asked after each transaction
};

// False when `stop` ended it early. Throws store_error for what the database refuses.
bool ingest_station(store& database, const report::station_roots& station, ingest_counts& counts,
                    const ingest_events& events);

} // namespace db

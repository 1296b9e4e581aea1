#pragma once
// The report's records from the line's database: each station's entries are handed to the
// report a date folder at a time, in the order the folders' own scan would read them, so
// that every figure comes out as from the files.
#include "record_source.h"
#include "store.h"

namespace db {

class database_source : public report::record_source {
public:
    // The stations named (all, by name, when none is); problem() says which name is not in
    // the database.
    database_source(std::unique_ptr<store> database, const std::vector<std::string>& names);
    const std::string& problem() const { return m_problem; }

    const std::vector<report::source_station>& stations() const override { return m_shown; }
    bool read_station(size_t index, const report::period& days, report::record_sink& sink,
                      const report::scan_progress& progress, std::string& problem) override;

private:
    std::unique_ptr<store> m_store;
    std::vector<station_entry> m_stations;
    std::vector<report::source_station> m_shown;
    std::string m_problem;
};

// The source of `qelreport --db`; nullptr with `problem` set when it cannot be read.
std::unique_ptr<report::record_source> open_database_source(const std::string& database,
                                                            const std::vector<std::string>& names,
                                                            std::string& problem);

} // namespace db

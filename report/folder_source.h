#pragma once
// The records of stations' xlog.data folders, as the command line names them.
#include "options.h"
#include "record_scan.h"
#include "record_source.h"

namespace report {

class folder_source : public record_source {
public:
    folder_source(const std::vector<station_roots>& stations, root_problem problem_of);

    const std::vector<source_station>& stations() const override { return m_shown; }
    bool read_station(size_t index, const period& days, record_sink& sink,
                      const scan_progress& progress, std::string& problem) override;

private:
    const std::vector<station_roots>& m_stations;
    std::vector<source_station> m_shown;
    root_problem m_problem_of;
};

} // namespace report

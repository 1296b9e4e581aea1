#include "folder_source.h"

namespace report {

folder_source::folder_source(const std::vector<station_roots>& stations, root_problem problem_of)
    : m_stations(stations), m_problem_of(std::move(problem_of)) {
    for (const station_roots& station : stations) {
        source_station& shown = m_shown.emplace_back();
        shown.name = station.name;
        for (const std::filesystem::path& root : station.roots) {
            shown.roots.push_back(shown_path(root));
        }
    }
}

bool folder_source::read_station(size_t index, const period& days, record_sink& sink,
                                 const scan_progress& progress, std::string&) {
    scan_station(m_stations[index].roots, days, sink, progress, m_problem_of);
    return true;
}

} // namespace report

#pragma once
// measurements.csv (one row per station and measurement) and boards.csv (one row per
// record, written as the records stream by, in time order per station); both UTF-8 with a
// byte-order mark.
#include "record_row.h"
#include "report_data.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace report {

std::string measurements_csv(const report_data& report);

class boards_csv {
public:
    // Writes the header line; check good() afterwards.
    explicit boards_csv(const std::filesystem::path& path);
    void add(const std::string& station, const record_row& row);
    bool good() const { return m_out.good(); }

private:
    std::ofstream m_out;
};

} // namespace report

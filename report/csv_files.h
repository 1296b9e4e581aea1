#pragma once
// measurements.csv (one row per station and measurement) and boards.csv (one row per
// record, written as the records stream by, in time order per station); both UTF-8 with a
// byte-order mark.
#include "record_row.h"
#include "report_data.h"

#include <cstdint>
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
    // Writes out what is buffered and closes the file; false when any write failed.
    bool close();

private:
    void append_time(local_seconds time);

    std::ofstream m_out;
    std::string m_row; // each row is made here, the space kept between rows
    int64_t m_day = 0; // of m_day_text, "YYYY-MM-DD " (records come day by day)
    std::string m_day_text;
};

} // namespace report

#include "csv_files.h"

#include "csv.h"

namespace report {
namespace {

// Without it spreadsheet programs take the files for the system's code page.
constexpr const char* byte_order_mark = "\xEF\xBB\xBF";

std::string optional_number(const std::optional<double>& value) {
    return value ? csv_number(*value) : "";
}

} // namespace

std::string measurements_csv(const report_data& report) {
    std::string csv = std::string(byte_order_mark) +
                      "station,name,unit,count,not_finite,fails,mean,stddev,min,max,cpk,low,high,"
                      "limit_pairs,limit_changes\r\n";
    for (const station_report& station : report.stations) {
        for (const named_measurement& measurement : station.measurements) {
            const measurement_stats& stats = measurement.stats;
            const bool seen = stats.count > 0;
            for (const std::string& field :
                 {csv_text(station.name), csv_text(measurement.name), csv_text(stats.unit),
                  std::to_string(stats.count), std::to_string(stats.not_finite),
                  std::to_string(stats.fails), optional_number(stats.mean()),
                  optional_number(stats.stddev()), seen ? csv_number(stats.min) : "",
                  seen ? csv_number(stats.max) : "", optional_number(stats.cpk()),
                  csv_number(stats.current.low), csv_number(stats.current.high),
                  std::to_string(stats.limits.size()), std::to_string(stats.change_count)}) {
                csv += field;
                csv += ',';
            }
            csv.back() = '\r';
            csv += '\n';
        }
    }
    return csv;
}

boards_csv::boards_csv(const std::filesystem::path& path) : m_out(path, std::ios::binary) {
    m_out << byte_order_mark << "station,qr,time,slot,result,test_number,failed,file\r\n";
}

void boards_csv::add(const std::string& station, const record_row& row) {
    m_out << csv_text(station) << ',' << csv_text(row.qr) << ',' << format_time(row.time) << ','
          << (row.slot == 0 ? std::string() : std::to_string(row.slot)) << ','
          << (row.pass ? "PASS" : "FAIL") << ',' << row.test_number << ',' << csv_text(row.failed)
          << ',' << csv_text(row.file) << "\r\n";
}

} // namespace report

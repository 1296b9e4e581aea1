#include "csv_files.h"

#include "csv.h"

#include <charconv>

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
                      "limit_pairs,limit_changes,gross,capability_count,capability_since,"
                      "sigma_within,ppk,out_of_control\r\n";
    for (const station_report& station : report.stations) {
        for (const named_measurement& measurement : station.measurements) {
            const measurement_stats& stats = measurement.stats;
            const bool seen = stats.count > 0;
            const capability pooled = stats.pooled();
            const auto since = stats.capability_since();
            const auto chart = stats.chart();
            for (const std::string& field : {csv_text(station.name),
                                             csv_text(measurement.name),
                                             csv_text(stats.unit),
                                             std::to_string(stats.count),
                                             std::to_string(stats.not_finite),
                                             std::to_string(stats.fails),
                                             optional_number(stats.mean()),
                                             optional_number(stats.stddev()),
                                             seen ? csv_number(stats.min) : "",
                                             seen ? csv_number(stats.max) : "",
                                             optional_number(pooled.cpk),
                                             csv_number(stats.current.low),
                                             csv_number(stats.current.high),
                                             std::to_string(stats.limits.size()),
                                             std::to_string(stats.change_count),
                                             std::to_string(stats.gross),
                                             std::to_string(pooled.count),
                                             since ? format_time(*since) : "",
                                             optional_number(pooled.sigma_within),
                                             optional_number(pooled.ppk),
                                             std::to_string(chart ? chart->out_of_control() : 0)}) {
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
    m_row.clear();
    append_csv_text(m_row, station);
    m_row += ',';
    append_csv_text(m_row, row.qr);
    m_row += ',';
    append_time(row.time);
    m_row += ',';
    char number[16];
    if (row.slot != 0) {
        m_row.append(number, std::to_chars(number, number + sizeof number, row.slot).ptr);
    }
    m_row += !row.has_result ? ",no_result," : row.pass ? ",PASS," : ",FAIL,";
    m_row.append(number, std::to_chars(number, number + sizeof number, row.test_number).ptr);
    m_row += ',';
    append_csv_text(m_row, row.failed);
    m_row += ',';
    append_csv_text(m_row, row.file);
    m_row += "\r\n";
    m_out.write(m_row.data(), static_cast<std::streamsize>(m_row.size()));
}

bool boards_csv::close() {
    m_out.close();
    return !m_out.fail();
}

void boards_csv::append_time(local_seconds time) {
    const int64_t day = time >= 0 ? time / seconds_per_day : (time + 1) / seconds_per_day - 1;
    if (m_day_text.empty() || day != m_day) {
        m_day = day;
        m_day_text = format_time(day * seconds_per_day);
        m_day_text.resize(m_day_text.size() - std::string_view("00:00:00").size());
    }
    m_row += m_day_text;
    const auto second = static_cast<int>(time - day * seconds_per_day);
    for (const int part : {second / 3600, second / 60 % 60, second % 60}) {
        m_row += static_cast<char>('0' + part / 10);
        m_row += static_cast<char>('0' + part % 10);
        m_row += ':';
    }
    m_row.pop_back();
}

} // namespace report

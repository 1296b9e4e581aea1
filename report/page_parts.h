#pragma once
// Pieces the page's sections share. A figure cell carries, in data-k, the path of the same
// figure in summary.json ("stations/0/slots/2/tested"), so the page can be checked against it.
#include "report_data.h"

#include <string>
#include <string_view>

namespace report {

// <td data-k="key">text</td>, right-aligned as numbers are.
std::string figure_cell(const std::string& key, const std::string& text);
// A header cell in Chinese and English; `numeric` sorts as numbers.
std::string label_cell(std::string_view chinese, std::string_view english, bool numeric = true);
// A section heading.
std::string heading(std::string_view chinese, std::string_view english);

// The sections of one station; `key` is its path in summary.json ("stations/0").
std::string station_overview(const station_report& station, const std::string& key);
std::string measurement_sections(const station_report& station, const std::string& key);
std::string history_sections(const station_report& station, const std::string& key);

} // namespace report

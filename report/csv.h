#pragma once
// Fields of the CSV files (RFC 4180, UTF-8).
#include <string>
#include <string_view>

namespace report {

// Text from the records as one field: well-formed UTF-8, quoted when it holds a comma, a
// quote or a line end, and with a leading "'" when it starts like a spreadsheet formula
// (= + - @), so that a hostile QR code cannot run as one.
std::string csv_text(std::string_view bytes);
// The same, appended to `field`.
void append_csv_text(std::string& field, std::string_view bytes);
// A number as the shortest text that reads back the same; empty for none.
std::string csv_number(double value);

} // namespace report

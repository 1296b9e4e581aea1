#pragma once
// report.html: one self-contained page (inline CSS and SVG, no network), readable with
// scripts off; a small script sorts a table by the column clicked.
#include "report_data.h"

#include <functional>
#include <string_view>

namespace report {

using page_sink = std::function<void(std::string_view piece)>;

// Hands the page to `write` a piece at a time, a station's sections at most, so that a page
// of many measurements (megabytes of charts) is never held whole.
void write_report_page(const report_data& report, const page_sink& write);

} // namespace report

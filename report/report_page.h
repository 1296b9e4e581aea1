#pragma once
// report.html: one self-contained page (inline CSS and SVG, no network), readable with
// scripts off; a small script sorts a table by the column clicked.
#include "report_data.h"

#include <string>

namespace report {

std::string report_page(const report_data& report);

} // namespace report

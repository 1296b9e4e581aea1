#pragma once
// summary.json: every figure of the page, as summary_schema.md describes it.
#include "report_data.h"

#include <string>

namespace report {

std::string summary_json(const report_data& report);

} // namespace report

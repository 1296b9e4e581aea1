#pragma once
// Writes a whole line's records as line_plan says and returns what it wrote.
#include "generator_truth.h"
#include "line_plan.h"

namespace generator {

line_truth generate_line(const line_plan& plan);

} // namespace generator

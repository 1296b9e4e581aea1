#pragma once
// qelreport as a whole: reads the options, every station's records, and writes the four
// files. Returns the exit code: 0 done, 1 a ROOT or the output could not be used, 2 a
// wrong command line.
#include <cstdio>
#include <string>
#include <vector>

namespace report {

int run_report(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
               bool terminal);

} // namespace report

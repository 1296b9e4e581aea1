#pragma once
// qelreport as a whole: reads the options, every station's records, and writes the four
// files. Returns the exit code: 0 done, 1 a ROOT or the output could not be used, 2 a
// wrong command line.
#include "record_source.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace report {

// Opens --db's database with the stations named (all when none is); nullptr with `problem`
// set when it cannot be read.
using database_opener = std::function<std::unique_ptr<record_source>(
    const std::string& database, const std::vector<std::string>& names, std::string& problem)>;

// `open_database` is empty in a build that reads no database.
int run_report(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
               bool terminal, const database_opener& open_database = {});

} // namespace report

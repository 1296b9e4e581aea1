#pragma once
// qeldb as a whole: reads its command line and runs init, ingest or board. Returns the exit
// code: 0 done, 1 a ROOT or the database could not be used, 2 a wrong command line.
#include <cstdio>
#include <string>
#include <vector>

namespace db {

int run_qeldb(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
              bool terminal);

} // namespace db

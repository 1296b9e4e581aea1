#pragma once
// What reads --db in this build of qelreport: the line server's build reads the database,
// the Windows one none.
#include "run_report.h"

report::database_opener database_opener();

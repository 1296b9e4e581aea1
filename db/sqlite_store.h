#pragma once
// The line's database in a SQLite file, in WAL mode so that readers never wait for an ingest.
#include "store.h"

namespace db {

std::unique_ptr<store> open_sqlite_store(const std::string& path, bool create);

} // namespace db

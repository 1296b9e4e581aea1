#pragma once
// The line's database on a PostgreSQL server, for a line whose stations share one.
#include "store.h"

#include <memory>
#include <string>

namespace db {

// `conninfo` in either of libpq's forms: "postgresql://..." or "key=value ...".
std::unique_ptr<store> open_postgres_store(const std::string& conninfo);

} // namespace db

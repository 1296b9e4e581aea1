#include "postgres_store.h"
#include "sqlite_store.h"
#include "store.h"

#include <algorithm>

namespace db {

bool is_postgres(std::string_view database) {
    if (database.starts_with("postgresql://") || database.starts_with("postgres://")) {
        return true;
    }
    // libpq's "key=value ..." form starts with a keyword such as host or dbname.
    const size_t equals = database.find('=');
    return equals != std::string_view::npos && equals > 0 &&
           std::all_of(database.begin(), database.begin() + static_cast<ptrdiff_t>(equals),
                       [](char c) { return (c >= 'a' && c <= 'z') || c == '_'; });
}

std::unique_ptr<store> open_store(const std::string& database, bool create) {
    return is_postgres(database) ? open_postgres_store(database)
                                 : open_sqlite_store(database, create);
}

} // namespace db

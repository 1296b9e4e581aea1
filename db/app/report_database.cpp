#include "database_opener.h"
#include "database_source.h"

report::database_opener database_opener() {
    return db::open_database_source;
}

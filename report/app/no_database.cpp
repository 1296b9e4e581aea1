#include "database_opener.h"

report::database_opener database_opener() {
    return {};
}

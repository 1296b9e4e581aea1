// qeldb: the line's results database (see qeldb_command.h).
#include "platform.h"
#include "qeldb_command.h"

int main(int argc, char** argv) {
    return db::run_qeldb(report::utf8_arguments(argc, argv), stdout, stderr,
                         report::is_terminal(stderr));
}

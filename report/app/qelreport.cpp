// qelreport: the station report from the record folders or the line's database (see
// run_report.h).
#include "database_opener.h"
#include "platform.h"
#include "run_report.h"

int main(int argc, char** argv) {
    report::use_utf8_console();
    return report::run_report(report::utf8_arguments(argc, argv), stdout, stderr,
                              report::is_terminal(stderr), database_opener());
}

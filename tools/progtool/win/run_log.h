#pragma once
// The run log the tests name in QEL_PROGTOOL_LOG: a start line as soon as the run begins,
// the mode it took, and an end line with what it left. Nothing is logged without the
// variable.
#include "progtool_mode.h"

#include <windows.h>

#include <string>
#include <string_view>

class run_log {
public:
    run_log();
    void took(std::string_view word);
    void wrote(progtool::mode m);
    void wrote_error();
    void end(int exit_code);

private:
    void append(const std::string& line);

    std::wstring path;
    DWORD pid = 0;
    std::string_view result = "nothing";
};

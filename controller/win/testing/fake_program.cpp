// Stands in for the programming tool in the controller's tests:
// "fake_program <result file> <plan file>" takes the first line of the plan file, rewrites
// the plan without it and acts on it: "hang" never ends, "none" ends without a result, any
// other text is written to the result file as it stands. One line per call, so one plan
// gives each station its own outcome.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    std::string action;
    std::getline(in, action);
    std::stringstream rest;
    rest << in.rdbuf();
    in.close();
    std::ofstream(argv[2], std::ios::binary | std::ios::trunc) << rest.str();
    if (!action.empty() && action.back() == '\r') {
        action.pop_back();
    }
    if (action == "hang") {
        Sleep(INFINITE);
    } else if (action != "none") {
        std::ofstream(argv[1], std::ios::binary | std::ios::trunc) << action;
    }
    return 0;
}

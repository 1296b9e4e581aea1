#pragma once
// The bridge's port and mode, read from its whole command line.
#include <string_view>

namespace bridge {

struct link_arguments {
    int port_number = 1;
    // 1 is the control board, anything else the tester.
    int mode = 0;
};

// The text after the last blank is the mode, the text after the blank before that the
// port; each read as a decimal number, 0 where it is none. No blank gives mode 0, and a
// port that is missing or not positive becomes 1.
link_arguments parse_command_line(std::u16string_view command_line);

} // namespace bridge

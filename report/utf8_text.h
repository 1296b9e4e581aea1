#pragma once
// Text taken from files and file names may be any bytes; everything the report writes is
// well-formed UTF-8.
#include <string>
#include <string_view>

namespace report {

// `bytes` with every malformed UTF-8 sequence replaced by U+FFFD.
std::string well_formed_utf8(std::string_view bytes);
// The same, appended to `text`.
void append_well_formed_utf8(std::string& text, std::string_view bytes);

} // namespace report

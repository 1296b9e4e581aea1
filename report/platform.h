#pragma once
// What qelreport needs from the system beyond the standard library: its folders are listed
// and its files read with the system's own calls (folder_listing.h: one open, a read or
// two, one close a file), and its console. posix/ and win/ hold the two versions; the build
// picks one.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

// A record is a few kilobytes at most; anything much larger is no record and is not read
// whole.
inline constexpr size_t max_record_bytes = 1 << 20;
inline constexpr const char* record_too_large = "larger than 1 MiB; no record is";

// The program's arguments in UTF-8 (Windows gives them in the ANSI code page to main).
std::vector<std::string> utf8_arguments(int argc, char** argv);

// Whether `stream` is a terminal that a progress line may overwrite.
bool is_terminal(std::FILE* stream);
// Makes the console show the UTF-8 that qelreport prints.
void use_utf8_console();

} // namespace report

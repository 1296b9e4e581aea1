#pragma once
// What qelreport needs from the system beyond the standard library: its files are read
// with the system's own calls (one open, a few reads, one close), and its console.
// posix/ and win/ hold the two versions; the build picks one.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

// A record is a few hundred bytes; anything much larger is no record and is not read whole.
inline constexpr size_t max_record_bytes = 1 << 20;
inline constexpr const char* record_too_large = "larger than 1 MiB; no record is";

// The whole file, read into `buffer` (kept between calls) and viewed there; nullopt with
// `problem` set when it cannot be read, is no regular file (never waiting on one), or is
// larger than max_record_bytes.
std::optional<std::string_view> read_record_file(const std::filesystem::path& path,
                                                 std::vector<char>& buffer, std::string& problem);

// The program's arguments in UTF-8 (Windows gives them in the ANSI code page to main).
std::vector<std::string> utf8_arguments(int argc, char** argv);

// Whether `stream` is a terminal that a progress line may overwrite.
bool is_terminal(std::FILE* stream);
// Makes the console show the UTF-8 that qelreport prints.
void use_utf8_console();

} // namespace report

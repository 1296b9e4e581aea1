#pragma once
// The lines of the stand-in's run log, one per event of a run, so a test can tell what each
// run really did (a run that was killed has a start and no end):
//   start pid=<pid> at=<s> created=<s>
//   took pid=<pid> at=<s> mode=<word>
//   end pid=<pid> at=<s> wrote=<ok|failed|cancel|nothing|error> exit=<code>
// Times are seconds since 1970 with milliseconds, as the test's own clock reads them.
#include "progtool_mode.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace progtool {

// A Windows file time (100 ns units since 1601) as milliseconds since 1970.
std::int64_t unix_ms(std::uint64_t file_time);

std::string start_line(std::uint32_t pid, std::int64_t created_ms, std::int64_t at_ms);
// The word is written as taken, with anything that would split the line's fields made "?".
std::string took_line(std::uint32_t pid, std::int64_t at_ms, std::string_view word);
std::string end_line(std::uint32_t pid, std::int64_t at_ms, std::string_view wrote, int exit_code);

// What a mode leaves in the result file, as the end line names it.
std::string_view result_word(mode m);

} // namespace progtool

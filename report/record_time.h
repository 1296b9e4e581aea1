#pragma once
// Times of the records. The controller names its files after the station's local time, with
// no zone, so a time here is a count of seconds since 1970-01-01 00:00:00 of that same clock.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace report {

using local_seconds = int64_t;
inline constexpr local_seconds seconds_per_day = 86400;

// Days since 1970-01-01 of a valid date; nullopt for a month or day that does not exist.
std::optional<int64_t> day_number(int year, int month, int day);

struct civil_date {
    int year;
    int month;
    int day;
};

// The inverse of day_number (H. Hinnant's civil calendar algorithms).
civil_date civil_from_days(int64_t days);

// "YYYYMMDD", the name of a date folder, as a day number.
std::optional<int64_t> parse_folder_date(std::string_view text);
// "YYYY-MM-DD", as the command line gives a date.
std::optional<int64_t> parse_iso_date(std::string_view text);
// "YYYYMMDD_HHMMSS", the stamp at the start of a record's name.
std::optional<local_seconds> parse_stamp(std::string_view text);

// "YYYY-MM-DD HH:MM:SS".
std::string format_time(local_seconds time);
// "YYYY-MM-DD".
std::string format_day(int64_t day);

} // namespace report

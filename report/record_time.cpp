#include "record_time.h"

#include <cstdio>

namespace report {
namespace {

// The digits of `text` from `start` as a number; nullopt when one is not a digit.
std::optional<int> read_digits(std::string_view text, size_t start, size_t count) {
    if (start + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (size_t i = start; i < start + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool is_leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::optional<int64_t> date_at(std::string_view text, size_t year, size_t month, size_t day) {
    const auto y = read_digits(text, year, 4);
    const auto m = read_digits(text, month, 2);
    const auto d = read_digits(text, day, 2);
    if (!y || !m || !d) {
        return std::nullopt;
    }
    return day_number(*y, *m, *d);
}

} // namespace

std::optional<int64_t> day_number(int year, int month, int day) {
    static constexpr int days_in_month[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) {
        return std::nullopt;
    }
    const int last = days_in_month[month - 1] + (month == 2 && is_leap(year) ? 1 : 0);
    if (day > last) {
        return std::nullopt;
    }
    const int y = month <= 2 ? year - 1 : year;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t year_of_era = y - era * 400;
    const int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t day_of_era =
        year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

civil_date civil_from_days(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t of_era = days - era * 146097;
    const int64_t year_of_era = (of_era - of_era / 1460 + of_era / 36524 - of_era / 146096) / 365;
    const int64_t day_of_year = of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const int64_t shifted_month = (5 * day_of_year + 2) / 153;
    const int day = static_cast<int>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
    const int month = static_cast<int>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
    const int year = static_cast<int>(year_of_era + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

std::optional<int64_t> parse_folder_date(std::string_view text) {
    if (text.size() != 8) {
        return std::nullopt;
    }
    return date_at(text, 0, 4, 6);
}

std::optional<int64_t> parse_iso_date(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    return date_at(text, 0, 5, 8);
}

std::optional<local_seconds> parse_stamp(std::string_view text) {
    if (text.size() < 15 || text[8] != '_') {
        return std::nullopt;
    }
    const auto day = date_at(text, 0, 4, 6);
    const auto hour = read_digits(text, 9, 2);
    const auto minute = read_digits(text, 11, 2);
    const auto second = read_digits(text, 13, 2);
    if (!day || !hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return *day * seconds_per_day + *hour * 3600 + *minute * 60 + *second;
}

std::string format_time(local_seconds time) {
    const int64_t day = time >= 0 ? time / seconds_per_day : (time + 1) / seconds_per_day - 1;
    const int64_t second_of_day = time - day * seconds_per_day;
    const civil_date date = civil_from_days(day);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year, date.month,
                  date.day, static_cast<int>(second_of_day / 3600),
                  static_cast<int>(second_of_day / 60 % 60), static_cast<int>(second_of_day % 60));
    return text;
}

std::string format_day(int64_t day) {
    return format_time(day * seconds_per_day).substr(0, 10);
}

} // namespace report

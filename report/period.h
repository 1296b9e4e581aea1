#pragma once
// The days a report covers, both ends included; an end not given is open.
#include "record_time.h"

#include <cstdint>
#include <optional>

namespace report {

struct period {
    std::optional<int64_t> from_day;
    std::optional<int64_t> to_day;

    bool contains(local_seconds time) const {
        const int64_t day = time >= 0 ? time / seconds_per_day : (time + 1) / seconds_per_day - 1;
        return (!from_day || day >= *from_day) && (!to_day || day <= *to_day);
    }
    // Whether a date folder may hold records of the period: the controller names the
    // folder first and the file a moment later, so a folder holds the first seconds of the
    // next day too.
    bool may_hold(int64_t folder_day) const {
        return (!from_day || folder_day + 1 >= *from_day) && (!to_day || folder_day <= *to_day);
    }
};

} // namespace report

#include "write_queue.h"

#include "command_text.h"

#include <algorithm>

namespace sim {

namespace {

bool in_order(const line_write& write) {
    return write.kind == line_write::reply || write.kind == line_write::noise;
}

} // namespace

void write_queue::add(time_point request_end, std::vector<line_write> writes) {
    // How far this request's replies must wait for the earlier ones: the first of them
    // comes soonest.
    auto hold = time_point::duration::zero();
    auto first = std::find_if(writes.begin(), writes.end(), in_order);
    if (first != writes.end()) {
        hold = std::max(hold, last_reply - (request_end + first->after));
    }
    for (auto& write : writes) {
        time_point due = request_end + write.after;
        if (in_order(write)) {
            due += hold;
            last_reply = std::max(last_reply, due);
            if (hold > hold.zero()) {
                auto ms = std::chrono::ceil<std::chrono::milliseconds>(hold).count();
                write.fault = joined(
                    {write.fault, "held " + std::to_string(ms) + " ms behind an earlier reply"});
            }
        }
        auto place = std::upper_bound(pending.begin(), pending.end(), due,
                                      [](time_point t, const entry& e) { return t < e.due; });
        pending.insert(place, {due, std::move(write)});
    }
}

int write_queue::wait_ms(time_point now) const {
    if (pending.empty()) {
        return -1;
    }
    auto left = std::chrono::ceil<std::chrono::milliseconds>(pending.front().due - now).count();
    return static_cast<int>(std::max<long long>(left, 0));
}

std::vector<line_write> write_queue::take_due(time_point now) {
    std::vector<line_write> due;
    while (!pending.empty() && pending.front().due <= now) {
        due.push_back(std::move(pending.front().write));
        pending.pop_front();
    }
    return due;
}

} // namespace sim

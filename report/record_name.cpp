#include "record_name.h"

namespace report {
namespace {

constexpr std::string_view extension = ".txt";
constexpr size_t stamp_size = 15; // YYYYMMDD_HHMMSS

// n of a trailing "_n" (n from 2, no leading zero) of `stem`, or 0.
int copy_suffix(std::string_view stem) {
    const size_t underscore = stem.rfind('_');
    if (underscore == std::string_view::npos || underscore + 1 >= stem.size() ||
        stem[underscore + 1] == '0' || stem.size() - underscore > 10) {
        return 0;
    }
    int n = 0;
    for (const char c : stem.substr(underscore + 1)) {
        if (c < '0' || c > '9') {
            return 0;
        }
        n = n * 10 + (c - '0');
    }
    return n >= 2 ? n : 0;
}

} // namespace

std::optional<record_name> parse_record_name(std::string_view name,
                                             const folder_lookup& in_folder) {
    if (!name.ends_with(extension) || name.size() < stamp_size + extension.size()) {
        return std::nullopt;
    }
    const auto time = parse_stamp(name.substr(0, stamp_size));
    if (!time) {
        return std::nullopt;
    }
    std::string_view stem = name.substr(0, name.size() - extension.size());
    record_name record;
    record.time = *time;
    if (const int n = copy_suffix(stem); n != 0) {
        const std::string_view base = stem.substr(0, stem.rfind('_'));
        if (base.size() >= stamp_size && in_folder(std::string(base) + std::string(extension))) {
            record.copy = n;
            stem = base;
        }
    }
    const std::string_view rest = stem.substr(stamp_size);
    if (rest == "Program_Result") {
        record.kind = record_kind::program_result;
        return record;
    }
    if (rest.starts_with("_QR")) {
        record.qr = rest.substr(3);
        return record;
    }
    return std::nullopt;
}

} // namespace report

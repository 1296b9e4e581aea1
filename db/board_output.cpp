#include "board_output.h"

#include "record_time.h"
#include "utf8_text.h"

#include <nlohmann/json.hpp>

namespace db {
namespace {

std::string slot_text(int slot) {
    return slot ? std::to_string(slot) + "#" : "-";
}

} // namespace

std::string board_text(const std::string& qr, const std::vector<board_record>& records) {
    std::string text = "QR " + report::well_formed_utf8(qr) + ": " +
                       std::to_string(records.size()) +
                       (records.size() == 1 ? " record\n" : " records\n");
    for (const board_record& record : records) {
        text += report::format_time(record.time) + "  " + record.station + "  " +
                slot_text(record.slot) + "  " + record.result;
        if (!record.failed.empty()) {
            text += "  failed: " + record.failed;
        }
        if (!record.programming.empty()) {
            text += "  programming: " + record.programming;
        }
        text += '\n';
    }
    return text;
}

std::string board_json(const std::string& qr, const std::vector<board_record>& records) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const board_record& record : records) {
        nlohmann::ordered_json failed = nlohmann::ordered_json::array();
        for (size_t start = 0; start < record.failed.size();) {
            const size_t end = std::min(record.failed.find(';', start), record.failed.size());
            failed.push_back(record.failed.substr(start, end - start));
            start = end + 1;
        }
        list.push_back({{"station", record.station},
                        {"time", report::format_time(record.time)},
                        {"slot", record.slot},
                        {"result", record.result},
                        {"failed", failed},
                        {"programming", record.programming.empty()
                                            ? nlohmann::ordered_json()
                                            : nlohmann::ordered_json(record.programming)}});
    }
    return nlohmann::ordered_json{{"qr", report::well_formed_utf8(qr)}, {"records", list}}.dump(2) +
           "\n";
}

} // namespace db

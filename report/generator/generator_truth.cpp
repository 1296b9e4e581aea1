#include "generator_truth.h"

#include <nlohmann/json.hpp>

namespace generator {

std::string truth_json(const line_truth& truth) {
    nlohmann::ordered_json stations = nlohmann::ordered_json::array();
    for (const station_truth& station : truth.stations) {
        nlohmann::ordered_json slots = nlohmann::ordered_json::array();
        for (size_t i = 0; i < station.slots.size(); ++i) {
            const slot_truth& slot = station.slots[i];
            slots.push_back({{"slot", i + 1},
                             {"tested", slot.tested},
                             {"passed", slot.passed},
                             {"failed", slot.failed},
                             {"no_result", slot.no_result},
                             {"programmed_ok", slot.programmed_ok},
                             {"programmed_failed", slot.programmed_failed},
                             {"not_programmed", slot.not_programmed}});
        }
        stations.push_back({{"name", station.name},
                            {"records", station.records},
                            {"unparsed", station.unparsed},
                            {"boards", station.boards},
                            {"first_pass", station.first_pass},
                            {"final_pass", station.final_pass},
                            {"retested_boards", station.retested_boards},
                            {"retests", station.retests},
                            {"records_without_qr", station.records_without_qr},
                            {"slots", slots},
                            {"fails", station.fails},
                            {"counts", station.counts},
                            {"limit_changes", station.limit_changes}});
    }
    return nlohmann::ordered_json({{"stations", stations}}).dump(1) + "\n";
}

} // namespace generator

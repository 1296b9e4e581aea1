#include "line_generator.h"

#include "station_simulator.h"

namespace generator {

line_truth generate_line(const line_plan& plan) {
    line_truth truth;
    for (int i = 0; i < plan.stations; ++i) {
        station_simulator station(plan, i);
        station.run();
        truth.stations.push_back(station.truth());
    }
    return truth;
}

} // namespace generator

#include "board_model.h"

#include <cstdio>

namespace generator {
namespace {

struct measurement {
    const char* name;
    const char* unit;
    double mean;
    double sigma;
    double low;
    double high;
};

} // namespace

board board_model::new_board(std::string qr) {
    return {std::move(qr), chance(0.015), 0};
}

void board_model::measure(const board& b, int slot, double progress, std::string& text,
                          int& group) {
    // C3's limits are tightened halfway; VCC drifts from 3.28 V toward its upper limit.
    const bool tightened = progress >= 0.5;
    const measurement all[] = {
        {"R1", "kOhm", 10.0, 0.1, 9.5, 10.5},
        {"C3", "nF", 100.0, 2.5, tightened ? 92.0 : 90.0, tightened ? 108.0 : 110.0},
        {"VCC", "V", 3.28 + 0.14 * progress, 0.025, 3.15, 3.45},
        {"VNEG", "V", -5.0, 0.05, -5.25, -4.75},
        {"FREQ", "Hz", 32768.0, 12.0, 32700.0, 32836.0},
    };
    const double wear = slot == 4 ? 0.08 : slot == 3 ? 0.02 : 0.0;
    const bool open_contact = chance(wear);
    for (const measurement& m : all) {
        double value = std::normal_distribution<double>(m.mean, m.sigma)(m_random);
        if (m.name == std::string("R1") && (open_contact || b.defective)) {
            value = b.defective ? 12.0 : 99.9999;
        }
        char line[160];
        // "{show:<group>/<name>_<slot>/x/<value>/<limit A>/<limit B>/a/<unit>/b}"
        std::snprintf(line, sizeof line, "{show:%d/%s_%d/x/%.4f/%.3f/%.3f/a/%s/b}\r\n", ++group,
                      m.name, slot, value, m.high, m.low, m.unit);
        text += line;
    }
}

} // namespace generator

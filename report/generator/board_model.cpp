#include "board_model.h"

#include <cstdio>
#include <iterator>

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

struct part_kind {
    const char* prefix;
    const char* unit;
    double nominal;
};

// "{show:<group>/<name>_<slot>/x/<value>/<limit A>/<limit B>/a/<unit>/b}"
void append_group(std::string& text, int group, const char* name, int slot, double value,
                  double limit_a, double limit_b, const char* unit) {
    char line[160];
    std::snprintf(line, sizeof line, "{show:%d/%s_%d/x/%.4f/%.3f/%.3f/a/%s/b}\r\n", group, name,
                  slot, value, limit_a, limit_b, unit);
    text += line;
}

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
        append_group(text, ++group, m.name, slot, value, m.high, m.low, m.unit);
    }
    // Further parts: a few kinds at several nominal values, 1 % spread, 5 % limits.
    static constexpr part_kind parts[] = {{"R", "kOhm", 1.0}, {"C", "nF", 1.5}, {"L", "uH", 2.2},
                                          {"D", "V", 0.65},   {"U", "V", 3.3},  {"R", "Ohm", 4.7}};
    for (int i = static_cast<int>(std::size(all)); i < m_measurements; ++i) {
        const part_kind& part = parts[i % std::size(parts)];
        const double nominal = part.nominal * (1 + i % 7);
        const double value = std::normal_distribution<double>(nominal, nominal / 100)(m_random);
        const std::string name = part.prefix + std::to_string(i + 1);
        append_group(text, ++group, name.c_str(), slot, value, nominal * 1.05, nominal * 0.95,
                     part.unit);
    }
}

} // namespace generator

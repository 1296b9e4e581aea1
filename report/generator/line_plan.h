#pragma once
// What the generator makes: a line of stations, each with its own xlog.data folder
// (OUT/<station>/xlog.data), running cycles of four boards for some days.
#include <cstdint>
#include <filesystem>
#include <string>

namespace generator {

struct line_plan {
    std::filesystem::path out;
    int stations = 4;
    int days = 3;
    int cycles_per_day = 200; // per station
    // Judgement lines per board: the five modelled ones (never fewer), then parts of a
    // larger board (an ICT program measures hundreds).
    int measurements = 5;
    int year = 2024;
    int month = 3;
    int day = 1;
    uint64_t seed = 1;
};

} // namespace generator

#pragma once
// The fixture slot of records that do not name it. A record names its slot in its judgement
// lines ("3# PASS ..."); one without lines (a slot the tester printed nothing for) does not,
// but its cycle's programming results, written after it, list every slot with its QR code.
// Records wait here from the first such record until those results come, and leave in the
// order they came.
#include "program_result.h"
#include "record_row.h"

#include <functional>
#include <vector>

namespace report {

class slot_resolver {
public:
    // Without results for this many records the waiting ones leave with slot 0 (a cycle
    // cut short before its results, or a station that never programs).
    static constexpr size_t max_waiting = 64;

    using release_fn = std::function<void(record_row& row)>;
    explicit slot_resolver(release_fn release) : m_release(std::move(release)) {}

    void add(record_row row);
    void add_program_result(const std::vector<program_line>& lines);
    // Lets the waiting records go as they are.
    void flush();

private:
    // A slot already taken in this cycle; records are written in slot order, so a slot no
    // higher than one taken starts a new cycle.
    void take_slot(int slot);

    release_fn m_release;
    std::vector<record_row> m_waiting;
    unsigned m_cycle_slots = 0; // bit n-1 for slot n
};

} // namespace report

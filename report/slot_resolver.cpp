#include "slot_resolver.h"

#include "codepage.h"
#include "record_names.h"

namespace report {
namespace {

// The QR code as the controller would put it in a file name.
std::string name_safe(std::string_view qr) {
    const auto wide = framework::Utf8ToWide(qr);
    const auto safe = wide ? framework::WideToUtf8(FileNameSafe(*wide)) : std::nullopt;
    return safe ? *safe : std::string(qr);
}

} // namespace

void slot_resolver::add(record_row row) {
    if (row.slot != 0) {
        take_slot(row.slot);
    }
    if (row.slot != 0 && m_waiting.empty()) {
        m_release(row);
        return;
    }
    m_waiting.push_back(std::move(row));
    if (m_waiting.size() >= max_waiting) {
        flush();
    }
}

void slot_resolver::add_program_result(const std::vector<program_line>& lines) {
    for (record_row& row : m_waiting) {
        if (row.slot != 0) {
            continue;
        }
        for (const program_line& line : lines) {
            const unsigned bit = 1u << (line.slot - 1);
            if ((m_cycle_slots & bit) == 0 && name_safe(line.qr) == row.qr) {
                row.slot = line.slot;
                m_cycle_slots |= bit;
                break;
            }
        }
    }
    flush();
    m_cycle_slots = 0;
}

void slot_resolver::flush() {
    for (record_row& row : m_waiting) {
        m_release(row);
    }
    m_waiting.clear();
}

void slot_resolver::take_slot(int slot) {
    const unsigned bit = 1u << (slot - 1);
    if (m_cycle_slots >= bit) {
        m_cycle_slots = 0;
    }
    m_cycle_slots |= bit;
}

} // namespace report

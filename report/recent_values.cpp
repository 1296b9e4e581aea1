#include "recent_values.h"

namespace report {

std::vector<double> recent_values::in_order() const {
    std::vector<double> values(m_values.begin() + static_cast<std::ptrdiff_t>(m_next),
                               m_values.end());
    values.insert(values.end(), m_values.begin(),
                  m_values.begin() + static_cast<std::ptrdiff_t>(m_next));
    return values;
}

} // namespace report

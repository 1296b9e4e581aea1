#include "panes.h"

void Pane::Append(std::u16string_view line) {
    if (line == m_lastLine) {
        return;
    }
    m_view.AppendPaneLine(m_id, line);
    m_lastLine = line;
}

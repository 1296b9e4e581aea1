#pragma once
// The two log panes of the main window. The window draws them; the rule that a line equal
// to the last one appended is dropped lives here, so that every platform behaves alike.
#include <string>
#include <string_view>

enum class PaneId { Progress, Result };

// What the window does to a pane's text.
class PaneView {
public:
    virtual ~PaneView() = default;
    // Put line and "\r\n" at the end of the pane's text and scroll the caret into view.
    virtual void AppendPaneLine(PaneId pane, std::u16string_view line) = 0;
    // Remove all of the pane's text.
    virtual void ClearPane(PaneId pane) = 0;
};

class Pane {
public:
    Pane(PaneView& view, PaneId id) : m_view(view), m_id(id) {}

    // Appends line unless it equals the last line appended, which is remembered for the
    // life of the pane. An empty line is therefore dropped until something else came.
    void Append(std::u16string_view line);
    // Clears the text but keeps the memory of the last line.
    void Clear() { m_view.ClearPane(m_id); }

private:
    PaneView& m_view;
    PaneId m_id;
    std::u16string m_lastLine;
};

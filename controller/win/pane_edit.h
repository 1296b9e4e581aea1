#pragma once
// A read-only multi-line edit used as a log pane: lines go at the real end of the text, the
// edit's default size limit is lifted, and the oldest lines are dropped beyond a large bound
// so that a pane keeps working through a whole shift.
//
// Lines are gathered and written to the edit in one piece when the owner window handles its
// flush message, posted with the first gathered line: each edit update costs milliseconds,
// and a burst of tester lines written one by one would hold up the cycle behind it.
#include <windows.h>

#include <string>
#include <string_view>

class CPaneEdit {
public:
    // Binds the edit and lifts its size limit; `flushMessage` is posted to `owner`, whose
    // handler calls Flush.
    void Attach(HWND edit, HWND owner, UINT flushMessage);
    // Adds line and "\r\n" after everything added before.
    void Append(std::wstring_view line);
    // Removes all text, gathered lines included.
    void Clear();
    // Writes the gathered lines at the end of the edit and scrolls them into view.
    void Flush();

private:
    HWND m_edit = nullptr;
    HWND m_owner = nullptr;
    UINT m_flushMessage = 0;
    std::wstring m_pending;
    bool m_flushPosted = false;
};

#include "pane_edit.h"

#include "dialog.h"
#include "pane_trim.h"
#include "wide.h"

namespace {

// About a shift of busy cycles; beyond it the oldest quarter goes, at a line boundary.
constexpr size_t kMaxPaneChars = 1 << 20;

void Replace(HWND edit, size_t start, size_t end, const wchar_t* text) {
    SendMessageW(edit, EM_SETSEL, start, end);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

// Drops whole lines from the start until `incoming` more characters fit within the bound.
void MakeRoom(HWND edit, size_t incoming) {
    if (static_cast<size_t>(GetWindowTextLengthW(edit)) + incoming <= kMaxPaneChars) {
        return;
    }
    const size_t cut = PaneTrimLength(ToU16(WindowText(edit)), incoming, kMaxPaneChars);
    Replace(edit, 0, cut, L"");
}

} // namespace

void CPaneEdit::Attach(HWND edit, HWND owner, UINT flushMessage) {
    m_edit = edit;
    m_owner = owner;
    m_flushMessage = flushMessage;
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
}

void CPaneEdit::Append(std::wstring_view line) {
    m_pending.append(line);
    m_pending.append(L"\r\n");
    if (!m_flushPosted) {
        m_flushPosted = PostMessageW(m_owner, m_flushMessage, 0, 0) != FALSE;
    }
}

void CPaneEdit::Clear() {
    m_pending.clear();
    Replace(m_edit, 0, static_cast<size_t>(-1), L"");
}

void CPaneEdit::Flush() {
    m_flushPosted = false;
    if (m_pending.empty()) {
        return;
    }
    MakeRoom(m_edit, m_pending.size());
    const auto end = static_cast<size_t>(GetWindowTextLengthW(m_edit));
    Replace(m_edit, end, end, m_pending.c_str());
    m_pending.clear();
}

#include "pane_edit.h"

#include "dialog.h"
#include "pane_trim.h"
#include "wide.h"

#include <string>

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

void PreparePane(HWND edit) {
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
}

void AppendPaneText(HWND edit, std::wstring_view line) {
    const std::wstring text = std::wstring(line) + L"\r\n";
    MakeRoom(edit, text.size());
    const auto end = static_cast<size_t>(GetWindowTextLengthW(edit));
    Replace(edit, end, end, text.c_str());
}

void ClearPaneText(HWND edit) {
    Replace(edit, 0, static_cast<size_t>(-1), L"");
}

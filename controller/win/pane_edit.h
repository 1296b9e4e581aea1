#pragma once
// A read-only multi-line edit used as a log pane: lines go at the real end of the text, the
// edit's default size limit is lifted, and the oldest lines are dropped beyond a large bound
// so that a pane keeps working through a whole shift.
#include <windows.h>

#include <string_view>

// Lifts the edit's size limit; call once when the dialog starts.
void PreparePane(HWND edit);
// Puts line and "\r\n" at the end of the text and scrolls the caret into view.
void AppendPaneText(HWND edit, std::wstring_view line);
// Removes all text.
void ClearPaneText(HWND edit);

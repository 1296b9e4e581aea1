#pragma once
// What the three programs' main windows do alike: icons, the About item and box, and the
// icon drawn while minimised.
#include <windows.h>

// The application icon as the window's big and small icon.
void SetDialogIcons(HWND dialog, HICON icon);
// "About..." (string `textId`) after a separator at the end of the system menu, as command
// `commandId`; nothing when the string is missing.
void AddAboutItem(HWND dialog, UINT textId, UINT commandId);
// For WM_SYSCOMMAND: the About box of template `templateId` when the command is
// `commandId`; false for any other command, which the dialog manager then handles.
bool ShowAboutOnCommand(HWND dialog, WPARAM command, UINT commandId, int templateId);
// For WM_PAINT: the icon centred in the client area while the window is minimised; false
// when it is not, and the window paints as usual.
bool PaintMinimisedIcon(HWND dialog, HICON icon);

#pragma once
// Keeps controls attached to the right and bottom edges of a resizable dialog.
#include <windows.h>

#include <vector>

class CLayout {
public:
    // Which edges of a control follow the dialog's right and bottom edges; the others stay.
    // Which edges of the control keep their distance from the same edge of the dialog.
    struct Anchor {
        int id;
        bool left;
        bool top;
        bool right;
        bool bottom;
    };

    // Remembers where the controls are now, against the dialog's client size now.
    void Attach(HWND dialog, const std::vector<Anchor>& anchors);
    // Moves the controls for the new client size.
    void Resize(int width, int height) const;

private:
    struct Placed {
        Anchor anchor;
        RECT rect;
    };

    HWND m_dialog = nullptr;
    SIZE m_initial{};
    std::vector<Placed> m_placed;
};

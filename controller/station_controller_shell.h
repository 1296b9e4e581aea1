#pragma once
// What the controller asks of its main window. The Windows dialog carries out each request
// at once, on its user-interface thread, and holds no decisions of its own; tests use a fake.
#include "panes.h"

#include <array>
#include <chrono>
#include <string>
#include <string_view>

class ControllerShell : public PaneView {
public:
    // Post one keyword as controller text on the keyword channel (bus_post_text with
    // bus::kControllerKeyword, the keyword's length, no terminator). Dropped without a bus.
    virtual void PostKeyword(std::string_view keyword) = 0;

    // Show a bitmap (an IDB_ id of resources.h) in the indicator of station index 0 to 3.
    // An image that cannot be loaded leaves the indicator as it was.
    virtual void SetStationImage(int station, int bitmapId) = 0;

    // Block the calling thread; the test start waits so between two posts.
    virtual void Pause(std::chrono::milliseconds duration) = 0;

    // Busy indicator: UnloadImage, LoadImageFile(fileName) and, if that loaded, StartImage.
    virtual void ShowBusyImage(std::u16string_view fileName) = 0;

    // The texts of the four QR edits in station order, read through data exchange.
    virtual std::array<std::u16string, 4> ReadQrEdits() = 0;
    // Empty the four QR edits, ready for the next boards.
    virtual void ClearQrEdits() = 0;
    // Put the keyboard focus on the QR edit of station 1.
    virtual void FocusFirstQr() = 0;

    // A modal message box with an OK button. It dispatches window messages while it is up,
    // so the controller asks for it only when no handler of its own is running.
    virtual void ShowMessage(std::u16string_view text) = 0;
};

#pragma once
// The bridge's posts through the process-wide bus binding, with its window as sender:
// array posts as raw bytes, everything else as zero-terminated text.
#include "link_ports.h"

#include <windows.h>

class window_bus final : public bridge::bus_sink {
public:
    // Before the first post; the window does not change afterwards.
    void attach(HWND sender) { window = sender; }
    void post(std::uint32_t type, std::string_view bytes) override;

private:
    HWND window = nullptr;
};

#pragma once
// The process-wide binding of lumo.dll used by qel and qel_link. Every operation is a
// no-op (false or null) while its entry point is not bound.
#include <windows.h>

#include <cstdint>

// Loads and binds lumo.dll. `text_base` is the base of the program's text posts:
// 0x20000200 in qel, 0x10000200 in qel_link.
bool bus_load(std::uint32_t text_base);
bool bus_unload();
bool bus_register(HWND window, std::uint32_t mask, const char* name);
bool bus_unregister(HWND window);
bool bus_post_text(HWND window, std::uint32_t channel, const char* text);
bool bus_post_bytes(HWND window, std::uint32_t channel, const void* bytes, std::uint32_t count);
char* bus_fetch(std::uint32_t handle, std::uint32_t* count);
bool bus_set_text(const char* name, const char* value);

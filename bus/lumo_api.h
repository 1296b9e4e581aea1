#pragma once
// Entry points of lumo.dll as the programs call them: argument order and widths.
#include <cstdint>

using LumoWindow = void*;

extern "C" {
using LumoPostData = int (*)(LumoWindow window, std::uint32_t type, std::uintptr_t data,
                             std::uint32_t length);
using LumoRegister = int (*)(LumoWindow window, std::uint32_t mask, const char* name);
using LumoUnregister = void (*)(LumoWindow window);
using LumoGetPublicVar = std::uint32_t (*)(std::uint32_t index);
using LumoSetPublicVar = int (*)(std::uint32_t index, std::uint32_t value);
using LumoGetp = char* (*)(std::uint32_t handle, std::uint32_t* count);
using LumoGetStr = const char* (*)(const char* name);
using LumoSetStr = int (*)(const char* name, const char* value);
using LumoGetInfo = const char* (*)(std::uint32_t code);
}

// Export names in binding-table order.
inline constexpr const char* kLumoExports[] = {
    "lumoPostData", "lumoRegister", "lumoUnregister", "lumoGetPublicVar", "lumoSetPublicVar",
    "lumoGetp",     "lumoGetStr",   "lumoSetStr",     "lumoGetInfo"};

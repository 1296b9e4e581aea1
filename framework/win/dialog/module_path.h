#pragma once
// Where the running executable lies.
#include <string>

// The directory of the executable, without a trailing backslash.
std::wstring ModuleDirectory();
// The executable's file name without its extension ("qel" for qel.exe).
std::wstring ExecutableName();

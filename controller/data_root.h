#pragma once
// The directory under which the controller keeps its records: "x:\\xlog.data" on the first
// drive, in the order d, e, f, h to z, then c, where it can be created or already exists as
// a directory.
#include "file_system.h"

#include <functional>
#include <string>

inline constexpr char16_t kNoDiskSpace[] = u"No disk space!";

// Shows a message box with an OK button.
using ShowMessageBox = std::function<void(const std::u16string& text)>;

// The data root, searched anew on every call (e.g. u"d:\\xlog.data", drive letter in lower
// case). When no drive will hold it, shows kNoDiskSpace and returns the empty string.
std::u16string GetDataRoot(framework::DirectoryMaker& directories,
                           const ShowMessageBox& showMessageBox);

#include "data_root.h"

#include <string_view>

std::u16string GetDataRoot(framework::DirectoryMaker& directories,
                           const ShowMessageBox& showMessageBox) {
    // A, B and G are never tried; C comes last so a data drive wins over the system drive.
    for (const char16_t letter : std::u16string_view(u"defhijklmnopqrstuvwxyzc")) {
        std::u16string root(1, letter);
        root += u":\\xlog.data";
        const uint32_t error = directories.MakeDirectory(root);
        // A file of that name says "already exists" too, and would refuse every record.
        if (error == framework::kErrorSuccess ||
            (error == framework::kErrorAlreadyExists && directories.IsDirectory(root))) {
            return root;
        }
    }
    if (showMessageBox) {
        showMessageBox(kNoDiskSpace);
    }
    return std::u16string();
}

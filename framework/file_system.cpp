#include "file_system.h"

namespace framework {

std::optional<std::string> ReadWholeFile(FileSystem& files, const std::u16string& path) {
    uint32_t error = kErrorSuccess;
    auto handle = files.OpenFile(path, kModeRead, error);
    if (!handle) {
        return std::nullopt;
    }
    std::string bytes(handle->Length(), '\0');
    bytes.resize(handle->Read(bytes.data(), bytes.size()));
    return bytes;
}

bool WriteWholeFile(FileSystem& files, const std::u16string& path, std::string_view bytes) {
    uint32_t error = kErrorSuccess;
    auto handle = files.OpenFile(path, kModeCreate | kModeWrite, error);
    return handle && handle->Write(bytes.data(), bytes.size());
}

} // namespace framework

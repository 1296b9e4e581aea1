#include "file_system.h"
#include "wide.h"

#include <algorithm>
#include <windows.h>

namespace framework {
namespace {

class WinFileHandle : public FileHandle {
public:
    explicit WinFileHandle(HANDLE file) : m_file(file) {}
    ~WinFileHandle() override { CloseHandle(m_file); }
    WinFileHandle(const WinFileHandle&) = delete;
    WinFileHandle& operator=(const WinFileHandle&) = delete;

    size_t Read(void* buffer, size_t count) override {
        size_t done = 0;
        while (done < count) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(m_file, static_cast<char*>(buffer) + done, chunk, &got, nullptr) ||
                got == 0) {
                break;
            }
            done += got;
        }
        return done;
    }

    bool Write(const void* data, size_t count) override {
        size_t done = 0;
        while (done < count) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
            DWORD put = 0;
            if (!WriteFile(m_file, static_cast<const char*>(data) + done, chunk, &put, nullptr) ||
                put == 0) {
                return false;
            }
            done += put;
        }
        return true;
    }

    bool Seek(uint64_t position) override {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(position);
        return SetFilePointerEx(m_file, to, nullptr, FILE_BEGIN) != 0;
    }

    uint64_t Position() const override {
        LARGE_INTEGER zero{};
        LARGE_INTEGER here{};
        return SetFilePointerEx(m_file, zero, &here, FILE_CURRENT)
                   ? static_cast<uint64_t>(here.QuadPart)
                   : 0;
    }

    uint64_t Length() const override {
        LARGE_INTEGER size{};
        return GetFileSizeEx(m_file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
    }

private:
    HANDLE m_file;
};

class WinFileSystem : public FileSystem {
public:
    std::unique_ptr<FileHandle> OpenFile(const std::u16string& path, unsigned flags,
                                         uint32_t& error) override {
        const DWORD access = (flags & kModeReadWrite) ? GENERIC_READ | GENERIC_WRITE
                             : (flags & kModeWrite)   ? GENERIC_WRITE
                                                      : GENERIC_READ;
        const DWORD creation = !(flags & kModeCreate)      ? OPEN_EXISTING
                               : (flags & kModeNoTruncate) ? OPEN_ALWAYS
                                                           : CREATE_ALWAYS;
        const HANDLE file =
            CreateFileW(ToWide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        creation, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = GetLastError();
            return nullptr;
        }
        error = kErrorSuccess;
        return std::make_unique<WinFileHandle>(file);
    }

    uint32_t MakeDirectory(const std::u16string& path) override {
        return CreateDirectoryW(ToWide(path).c_str(), nullptr) ? kErrorSuccess : GetLastError();
    }

    bool IsDirectory(const std::u16string& path) override {
        const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    uint32_t RemoveFile(const std::u16string& path) override {
        return DeleteFileW(ToWide(path).c_str()) ? kErrorSuccess : GetLastError();
    }
};

} // namespace

FileSystem& PlatformFileSystem() {
    static WinFileSystem files;
    return files;
}

} // namespace framework

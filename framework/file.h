#pragma once
// The framework's file class: one open file of a FileSystem, closed on destruction.
#include "file_system.h"

#include <cstdint>
#include <memory>
#include <string>

namespace framework {

class CFile {
public:
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    explicit CFile(FileSystem& files = PlatformFileSystem()) : m_files(files) {}
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile() = default;

    // Opens `path` with the kMode* flags; false on failure, with the error code in `error`
    // when it is given. An open file is closed first.
    virtual bool Open(const std::u16string& path, unsigned flags, uint32_t* error = nullptr);
    void Close();
    bool IsOpen() const { return m_handle != nullptr; }

    // Bytes read; 0 at the end, on failure or when closed.
    size_t Read(void* buffer, size_t count);
    // True when every byte was written.
    bool Write(const void* data, size_t count);
    // The new position; a position before the start or a failure leaves it where it was.
    uint64_t Seek(int64_t offset, SeekPosition from);
    uint64_t GetLength() const;
    uint64_t GetPosition() const;
    const std::u16string& GetFilePath() const { return m_path; }

private:
    FileSystem& m_files;
    std::unique_ptr<FileHandle> m_handle;
    std::u16string m_path;
};

} // namespace framework

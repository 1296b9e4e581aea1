#include "file.h"

namespace framework {

bool CFile::Open(const std::u16string& path, unsigned flags, uint32_t* error) {
    Close();
    uint32_t code = kErrorSuccess;
    m_handle = m_files.OpenFile(path, flags, code);
    if (error != nullptr) {
        *error = m_handle ? kErrorSuccess : code;
    }
    if (!m_handle) {
        return false;
    }
    m_path = path;
    return true;
}

void CFile::Close() {
    m_handle.reset();
    m_path.clear();
}

size_t CFile::Read(void* buffer, size_t count) {
    return m_handle ? m_handle->Read(buffer, count) : 0;
}

bool CFile::Write(const void* data, size_t count) {
    return m_handle && m_handle->Write(data, count);
}

uint64_t CFile::Seek(int64_t offset, SeekPosition from) {
    if (!m_handle) {
        return 0;
    }
    const uint64_t here = m_handle->Position();
    const uint64_t base = from == begin ? 0 : from == current ? here : m_handle->Length();
    if (offset < 0 && static_cast<uint64_t>(-(offset + 1)) >= base) {
        return here;
    }
    const uint64_t target = base + static_cast<uint64_t>(offset);
    return m_handle->Seek(target) ? target : here;
}

uint64_t CFile::GetLength() const {
    return m_handle ? m_handle->Length() : 0;
}

uint64_t CFile::GetPosition() const {
    return m_handle ? m_handle->Position() : 0;
}

} // namespace framework

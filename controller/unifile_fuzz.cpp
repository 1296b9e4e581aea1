// Reading any bytes as a text file: no crash, and an XLG file always yields exactly the text
// before its first marker.
#include "unifile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// One file held in memory; enough of a file system for CUniFile to read it.
class MemoryFile : public framework::FileHandle {
public:
    explicit MemoryFile(const std::string& bytes) : m_bytes(bytes) {}
    size_t Read(void* buffer, size_t count) override {
        const size_t n = std::min(count, m_bytes.size() - std::min(m_at, m_bytes.size()));
        std::memcpy(buffer, m_bytes.data() + m_at, n);
        m_at += n;
        return n;
    }
    bool Write(const void*, size_t) override { return false; }
    bool Seek(uint64_t position) override {
        m_at = position;
        return true;
    }
    uint64_t Position() const override { return m_at; }
    uint64_t Length() const override { return m_bytes.size(); }

private:
    const std::string& m_bytes;
    size_t m_at = 0;
};

class MemoryFiles : public framework::FileSystem {
public:
    std::string bytes;
    std::unique_ptr<framework::FileHandle> OpenFile(const std::u16string&, unsigned,
                                                    uint32_t& error) override {
        error = framework::kErrorSuccess;
        return std::make_unique<MemoryFile>(bytes);
    }
    uint32_t MakeDirectory(const std::u16string&) override { return framework::kErrorSuccess; }
    bool IsDirectory(const std::u16string&) override { return true; }
    uint32_t RemoveFile(const std::u16string&) override { return framework::kErrorSuccess; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryFiles files;
    files.bytes.assign(reinterpret_cast<const char*>(data), size);
    CUniFile file(files);
    if (!file.Open(u"X:\\result.txt", framework::kModeRead)) {
        std::abort();
    }
    const std::u16string text = file.ReadText();
    if (file.m_bDataMarker && file.m_nBOMSize != 2) {
        const std::string& all = files.bytes;
        const size_t marker = all.find("<DATA>");
        const std::string header = all.substr(file.m_nBOMSize, marker - file.m_nBOMSize);
        const std::u16string expected = file.m_bUTF8 ? ConvertUTF8ToUnicode(header.c_str())
                                                     : ConvertAnsiToUnicode(header.c_str());
        if (text != expected) {
            std::abort();
        }
    }
    return 0;
}

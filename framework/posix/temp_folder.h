#pragma once
// A fresh folder under /tmp for a test, removed with all it holds when the test is done.
#include <filesystem>
#include <stdlib.h>

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/qel-test-XXXXXX";
        if (mkdtemp(pattern) != nullptr) {
            m_path = pattern;
        }
    }
    ~TempFolder() {
        if (!m_path.empty()) {
            std::filesystem::remove_all(m_path);
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Empty when the folder could not be made.
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

#include "profile.h"

#include <windows.h>

#include <vector>

CProfile::CProfile(std::wstring registryKey, std::wstring appName)
    : m_root(L"Software\\" + registryKey + L"\\" + appName) {}

std::wstring CProfile::SectionPath(const wchar_t* section) const {
    return m_root + L"\\" + section;
}

int CProfile::GetInt(const wchar_t* section, const wchar_t* key, int fallback) const {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, SectionPath(section).c_str(), key, RRF_RT_REG_DWORD,
                     nullptr, &value, &size) != ERROR_SUCCESS) {
        return fallback;
    }
    return static_cast<int>(value);
}

std::wstring CProfile::GetString(const wchar_t* section, const wchar_t* key,
                                 const std::wstring& fallback) const {
    const std::wstring path = SectionPath(section);
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key, RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
        return fallback;
    }
    // The size includes the terminator, which RegGetValue guarantees.
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1);
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key, RRF_RT_REG_SZ, nullptr, text.data(),
                     &size) != ERROR_SUCCESS) {
        return fallback;
    }
    return std::wstring(text.data());
}

bool CProfile::WriteInt(const wchar_t* section, const wchar_t* key, int value) {
    const DWORD data = static_cast<DWORD>(value);
    return RegSetKeyValueW(HKEY_CURRENT_USER, SectionPath(section).c_str(), key, REG_DWORD, &data,
                           sizeof data) == ERROR_SUCCESS;
}

bool CProfile::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    return RegSetKeyValueW(
               HKEY_CURRENT_USER, SectionPath(section).c_str(), key, REG_SZ, value.c_str(),
               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

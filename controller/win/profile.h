#pragma once
// The per-user profile store of the application: the registry key
// HKEY_CURRENT_USER\Software\<registry key>\<application name>\<section>, one named value
// per key, integers as REG_DWORD and strings as REG_SZ.
#include <string>

class CProfile {
public:
    CProfile(std::wstring registryKey, std::wstring appName);

    // The stored value, or `fallback` when it is missing or of another type.
    int GetInt(const wchar_t* section, const wchar_t* key, int fallback) const;
    std::wstring GetString(const wchar_t* section, const wchar_t* key,
                           const std::wstring& fallback) const;

    bool WriteInt(const wchar_t* section, const wchar_t* key, int value);
    bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value);

private:
    std::wstring SectionPath(const wchar_t* section) const;

    std::wstring m_root; // Software\<registry key>\<application name>
};

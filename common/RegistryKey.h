// One open registry key, closed when the object goes: the one way Tolvane and Tolvard
// hold a key. How a key is opened differs between the readers on purpose, and each
// keeps its own: RegOpenKeyA (only an existing key; the menu's settings), RegOpenKeyExA
// with KEY_READ (the store), or RegCreateKeyA, which makes a missing key (the column and
// the options dialog, also to read; As designed: Tolvard and the column have always
// created Tolvane's key on first use, and nothing relies on its absence).
#pragma once

#include <windows.h>

class CRegistryKey {
public:
    CRegistryKey() : m_key(nullptr) {}
    ~CRegistryKey() { Close(); }
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    bool Open(HKEY root, const char* path) {
        Close();
        return Take(RegOpenKeyA(root, path, &m_key));
    }
    bool OpenForReading(HKEY root, const char* path) {
        Close();
        return Take(RegOpenKeyExA(root, path, 0, KEY_READ, &m_key));
    }
    bool Create(HKEY root, const char* path) {
        Close();
        return Take(RegCreateKeyA(root, path, &m_key));
    }
    // With an access mask, which may name a registry view (KEY_WOW64_32KEY, ...).
    bool OpenWith(HKEY root, const char* path, REGSAM access) {
        Close();
        return Take(RegOpenKeyExA(root, path, 0, access, &m_key));
    }
    bool CreateWith(HKEY root, const char* path, REGSAM access) {
        Close();
        return Take(RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, &m_key, nullptr));
    }

    bool IsOpen() const { return m_key != nullptr; }
    HKEY Handle() const { return m_key; }
    // Gives the key to the caller, who closes it.
    HKEY Release() {
        HKEY key = m_key;
        m_key = nullptr;
        return key;
    }
    void Close() {
        if (m_key) RegCloseKey(m_key);
        m_key = nullptr;
    }

    // The value's raw bytes into data (size: its room in, the bytes read out); the
    // registry's result. A closed key reads nothing.
    LONG Query(const char* name, void* data, DWORD* size, DWORD* type = nullptr) const {
        if (!m_key) return ERROR_INVALID_HANDLE;
        return RegQueryValueExA(m_key, name, nullptr, type, static_cast<BYTE*>(data), size);
    }
    LONG Set(const char* name, DWORD type, const void* data, DWORD size) const {
        if (!m_key) return ERROR_INVALID_HANDLE;
        return RegSetValueExA(m_key, name, 0, type, static_cast<const BYTE*>(data), size);
    }

private:
    bool Take(LONG result) {
        if (result != ERROR_SUCCESS) m_key = nullptr;
        return result == ERROR_SUCCESS;
    }

    HKEY m_key;
};

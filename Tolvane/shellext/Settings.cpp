#include "Settings.h"

namespace {
const char kSettingsKey[] = "SOFTWARE\\Varnoke\\Tolvane";
const DWORD kDefaultContextWidth = 1024;
}  // namespace

DWORD ReadContextWidth() {
    DWORD width = kDefaultContextWidth;
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kSettingsKey, &key) != ERROR_SUCCESS) return width;
    DWORD size = sizeof width;
    // Any type: a shorter value overwrites only its own bytes of the preset.
    // A failed read (a value longer than four bytes) may leave the buffer
    // undefined, so the preset is put back.
    if (RegQueryValueExA(key, "ContextBreite", nullptr, nullptr, reinterpret_cast<BYTE*>(&width), &size) !=
        ERROR_SUCCESS)
        width = kDefaultContextWidth;
    RegCloseKey(key);
    return width;
}

bool ReadAnsiSetting() {
    char ansi[2] = {'1', '\0'};
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kSettingsKey, &key) == ERROR_SUCCESS) {
        DWORD size = sizeof ansi;
        if (RegQueryValueExA(key, "Ansi", nullptr, nullptr, reinterpret_cast<BYTE*>(ansi), &size) !=
            ERROR_SUCCESS)
            ansi[0] = '1';
        RegCloseKey(key);
    }
    return ansi[0] != '0';
}

bool WriteAnsiSetting(bool ansi) {
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kSettingsKey, &key) != ERROR_SUCCESS) return false;
    const char value[2] = {static_cast<char>('0' + (ansi ? 1 : 0)), '\0'};
    const bool stored = RegSetValueExA(key, "Ansi", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                       sizeof value) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

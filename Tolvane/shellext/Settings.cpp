#include "Settings.h"

#include "Contract.h"
#include "RegistryKey.h"

// The menu and the dialogs only open the key: they never make it.

DWORD ReadContextWidth() {
    DWORD width = TOLVANE_CONTEXT_WIDTH_DEFAULT;
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY)) return width;
    DWORD size = sizeof width;
    // Any type: a shorter value overwrites only its own bytes of the preset.
    // A failed read (a value longer than four bytes) may leave the buffer
    // undefined, so the preset is put back.
    if (key.Query(TOLVANE_CONTEXT_WIDTH, &width, &size) != ERROR_SUCCESS) width = TOLVANE_CONTEXT_WIDTH_DEFAULT;
    return width;
}

bool ReadAnsiSetting() {
    char ansi[2] = {TOLVANE_ANSI_DEFAULT[0], '\0'};
    CRegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY)) {
        DWORD size = sizeof ansi;
        if (key.Query(TOLVANE_ANSI, ansi, &size) != ERROR_SUCCESS) ansi[0] = TOLVANE_ANSI_DEFAULT[0];
    }
    return ansi[0] != '0';
}

bool WriteAnsiSetting(bool ansi) {
    CRegistryKey key;
    if (!key.Create(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY)) return false;
    const char value[2] = {static_cast<char>('0' + (ansi ? 1 : 0)), '\0'};
    return key.Set(TOLVANE_ANSI, REG_SZ, value, sizeof value) == ERROR_SUCCESS;
}

// The settings the shell extension reads and writes (Settings.h), with the key opened
// only, never made: the width of the context-menu entry and the character set.
#include "Settings.h"

#include "Contract.h"
#include "RegistryKey.h"
#include "RegistrySettings.h"

// The menu and the dialogs only open the key to read: they never make it.
DWORD ReadContextWidth() {
    CRegistryKey key;
    key.Open(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY);
    DWORD width = 0;
    ReadContextWidth(key.Handle(), &width);
    return width;
}

bool ReadAnsiSetting() {
    CRegistryKey key;
    key.Open(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY);
    bool ansi = true;
    ReadAnsi(key.Handle(), &ansi);
    return ansi;
}

bool WriteAnsiSetting(bool ansi) {
    CRegistryKey key;
    return key.Create(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY) && WriteAnsi(key.Handle(), ansi);
}

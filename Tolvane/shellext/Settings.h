// The settings of the shell extension (TOLVANE_SETTINGS_KEY of Contract.h), with the
// key opened as the shell extension opens it; the values are read and written by
// their one reader and writer (RegistrySettings.h).
#pragma once

#include <windows.h>

// "ContextBreite": how many description bytes the menu entry shows; not limited here.
DWORD ReadContextWidth();
// "Ansi": true for descriptions in the ANSI code page, false for the OEM code page.
bool ReadAnsiSetting();
// Stores "Ansi" as "1" or "0" with its zero; creates the key. False when the key
// cannot be created or written.
bool WriteAnsiSetting(bool ansi);

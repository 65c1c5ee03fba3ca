// The settings of the shell extension (TOLVANE_SETTINGS_KEY of Contract.h).
#pragma once

#include <windows.h>

// "ContextBreite": how many description bytes the menu entry shows. 1024 when
// it cannot be read; read whatever its type; not limited here.
DWORD ReadContextWidth();
// "Ansi": true for "1" (descriptions in the ANSI code page, the preset), false
// for "0". Any other first character counts as not "0".
bool ReadAnsiSetting();
// Stores "Ansi" as "1" or "0" with its zero; creates the key. False when the key
// cannot be created or written.
bool WriteAnsiSetting(bool ansi);

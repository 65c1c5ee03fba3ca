// The settings under which a folder's description file is read: its file name
// (registry value DescriptionName, default DESCRIPT.ION) and the conversion
// flag (Ansi), read from TOLVANE_SETTINGS_KEY (Contract.h); CDescriptionFile::Load
// reads them through it too.
#pragma once

#include <windows.h>

#include <string_view>

struct DescriptionSettings {
    char filePath[260];       // the folder followed by the file name (ANSI reading)
    wchar_t wideFilePath[260];  // the same, read for a wide folder
    char conversionFlag[4];   // only the first character counts
    // Descriptions are kept in the OEM code page in the file.
    bool Converts() const { return conversionFlag[0] == '0'; }
};

// folder: drive and folder of a path, as PathParts::FolderPath gives them
// (empty for the current directory). False when the file's path would be longer
// than 259 characters: such a file can be neither read nor written.
// heldKey: where a caller that reads often keeps the settings key open between
// readings (null at first; the caller closes it with RegCloseKey); a key that
// was deleted meanwhile is opened afresh. Without it the key is opened and
// closed for this reading.
bool ReadDescriptionSettings(std::string_view folder, DescriptionSettings* settings, HKEY* heldKey = nullptr);
// The same for a wide folder: the path goes to wideFilePath (filePath stays empty).
bool ReadDescriptionSettings(std::wstring_view folder, DescriptionSettings* settings, HKEY* heldKey = nullptr);

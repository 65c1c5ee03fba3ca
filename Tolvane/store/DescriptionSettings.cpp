// Reading the settings under which a folder's description file is read
// (DescriptionSettings.h): its name and the character set.
#include "DescriptionSettings.h"

#include "PathParts.h"

#include <windows.h>

#include <cstring>

#include "Contract.h"
#include "RegistryKey.h"
#include "RegistrySettings.h"

namespace {

// Reads both values, each its default when it cannot be read; false when the key was
// deleted while it was held open.
bool ReadSettings(HKEY key, char* conversionFlag, char (&fileName)[kDescriptionNameSize]) {
    bool ansi = true;
    if (ReadAnsi(key, &ansi) == ERROR_KEY_DELETED) return false;
    conversionFlag[0] = ansi ? '1' : '0';
    return ReadDescriptionName(key, fileName) != ERROR_KEY_DELETED;
}

// The flag into settings and the file's name into fileName.
void ReadValues(DescriptionSettings* settings, char (&fileName)[kDescriptionNameSize], HKEY* heldKey) {
    memset(settings, 0, sizeof *settings);
    bool done = false;
    if (heldKey && *heldKey) {
        done = ReadSettings(*heldKey, settings->conversionFlag, fileName);
        if (!done) {  // deleted, perhaps made again: open it anew
            RegCloseKey(*heldKey);
            *heldKey = nullptr;
        }
    }
    CRegistryKey key;
    if (!done) {
        key.OpenForReading(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY);
        ReadSettings(key.Handle(), settings->conversionFlag, fileName);   // the defaults without a key
        if (heldKey) *heldKey = key.Release();
    }
}

}  // namespace

bool ReadDescriptionSettings(std::string_view folder, DescriptionSettings* settings, HKEY* heldKey) {
    char fileName[kDescriptionNameSize] = {};
    ReadValues(settings, fileName, heldKey);
    size_t nameLength = strlen(fileName);
    if (folder.size() + nameLength > kMaxPathLength) return false;
    memcpy(settings->filePath, folder.data(), folder.size());
    memcpy(settings->filePath + folder.size(), fileName, nameLength + 1);
    return true;
}

bool ReadDescriptionSettings(std::wstring_view folder, DescriptionSettings* settings, HKEY* heldKey) {
    char fileName[kDescriptionNameSize] = {};
    ReadValues(settings, fileName, heldKey);
    if (folder.size() > kMaxPathLength) return false;
    // The value is an ANSI text, as the registry's ANSI functions read it.
    wchar_t* name = settings->wideFilePath + folder.size();
    const size_t room = kMaxPathLength - folder.size();
    int nameLength = room ? MultiByteToWideChar(CP_ACP, 0, fileName, -1, name, static_cast<int>(room + 1)) : 0;
    if (nameLength <= 1) {  // did not fit (or no name)
        settings->wideFilePath[0] = L'\0';
        return false;
    }
    memcpy(settings->wideFilePath, folder.data(), folder.size() * sizeof(wchar_t));
    return true;
}

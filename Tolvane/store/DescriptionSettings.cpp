#include "DescriptionSettings.h"

#include "PathParts.h"

#include <windows.h>

#include <cstring>

#include "Contract.h"
#include "RegistryKey.h"

namespace {

const char kDefaultName[] = TOLVANE_DESCRIPTION_NAME_DEFAULT;
const char kDefaultFlag[4] = TOLVANE_ANSI_DEFAULT;

// As the store's own reading: the value must fit the buffer with its
// terminating zero; otherwise the preset stays. The result of the query.
LONG ReadSetting(HKEY key, const char* value, char* buffer, DWORD size) {
    char read[260] = {};
    DWORD readSize = size;
    LONG result = RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(read), &readSize);
    if (result == ERROR_SUCCESS && read[size - 1] == '\0') memcpy(buffer, read, size);
    return result;
}

// Reads both values; false when the key was deleted while it was held open.
bool ReadSettings(HKEY key, char* conversionFlag, char* fileName) {
    if (ReadSetting(key, TOLVANE_ANSI, conversionFlag, 4) == ERROR_KEY_DELETED) return false;
    return ReadSetting(key, TOLVANE_DESCRIPTION_NAME, fileName, 256) != ERROR_KEY_DELETED;
}

// The flag into settings and the file's name into fileName (256 bytes).
void ReadValues(DescriptionSettings* settings, char* fileName, HKEY* heldKey) {
    memset(settings, 0, sizeof *settings);
    memcpy(settings->conversionFlag, kDefaultFlag, 4);
    strcpy(fileName, kDefaultName);
    bool done = false;
    if (heldKey && *heldKey) {
        done = ReadSettings(*heldKey, settings->conversionFlag, fileName);
        if (!done) {  // deleted, perhaps made again: open it anew
            RegCloseKey(*heldKey);
            *heldKey = nullptr;
            memcpy(settings->conversionFlag, kDefaultFlag, 4);
            strcpy(fileName, kDefaultName);
        }
    }
    CRegistryKey key;
    if (!done && key.OpenForReading(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY)) {
        ReadSettings(key.Handle(), settings->conversionFlag, fileName);
        if (heldKey) *heldKey = key.Release();
    }
    if (fileName[0] == '\0') strcpy(fileName, kDefaultName);
}

}  // namespace

bool ReadDescriptionSettings(std::string_view folder, DescriptionSettings* settings, HKEY* heldKey) {
    char fileName[256] = {};
    ReadValues(settings, fileName, heldKey);
    size_t nameLength = strlen(fileName);
    if (folder.size() + nameLength > kMaxPathLength) return false;
    memcpy(settings->filePath, folder.data(), folder.size());
    memcpy(settings->filePath + folder.size(), fileName, nameLength + 1);
    return true;
}

bool ReadDescriptionSettings(std::wstring_view folder, DescriptionSettings* settings, HKEY* heldKey) {
    char fileName[256] = {};
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

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

}  // namespace

bool ReadDescriptionSettings(std::string_view folder, DescriptionSettings* settings, HKEY* heldKey) {
    memset(settings, 0, sizeof *settings);
    memcpy(settings->conversionFlag, kDefaultFlag, 4);
    char fileName[256] = {};
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

    size_t nameLength = strlen(fileName);
    if (folder.size() + nameLength > kMaxPathLength) return false;
    memcpy(settings->filePath, folder.data(), folder.size());
    memcpy(settings->filePath + folder.size(), fileName, nameLength + 1);
    return true;
}

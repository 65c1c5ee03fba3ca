#include "DescriptionSettings.h"

#include "PathParts.h"

#include <windows.h>

#include <cstring>

namespace {

const char kSettingsKey[] = "SOFTWARE\\Varnoke\\Tolvane";
const char kDefaultName[] = "DESCRIPT.ION";

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
    if (ReadSetting(key, "Ansi", conversionFlag, 4) == ERROR_KEY_DELETED) return false;
    return ReadSetting(key, "DescriptionName", fileName, 256) != ERROR_KEY_DELETED;
}

}  // namespace

bool ReadDescriptionSettings(std::string_view folder, DescriptionSettings* settings, HKEY* heldKey) {
    memset(settings, 0, sizeof *settings);
    memcpy(settings->conversionFlag, "1\0\0", 4);
    char fileName[256] = {};
    strcpy(fileName, kDefaultName);
    bool done = false;
    if (heldKey && *heldKey) {
        done = ReadSettings(*heldKey, settings->conversionFlag, fileName);
        if (!done) {  // deleted, perhaps made again: open it anew
            RegCloseKey(*heldKey);
            *heldKey = nullptr;
            memcpy(settings->conversionFlag, "1\0\0", 4);
            strcpy(fileName, kDefaultName);
        }
    }
    HKEY key;
    if (!done && RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        ReadSettings(key, settings->conversionFlag, fileName);
        if (heldKey)
            *heldKey = key;
        else
            RegCloseKey(key);
    }
    if (fileName[0] == '\0') strcpy(fileName, kDefaultName);

    size_t nameLength = strlen(fileName);
    if (folder.size() + nameLength > kMaxPathLength) return false;
    memcpy(settings->filePath, folder.data(), folder.size());
    memcpy(settings->filePath + folder.size(), fileName, nameLength + 1);
    return true;
}

// The one reader and the one writer of each registry value of Tolvane and Tolvard
// (RegistrySettings.h). How each value is stored is written beside its name in Contract.h;
// stored values keep the exact form that earlier versions and the other program read.
#include "RegistrySettings.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "Contract.h"
#include "RegistryKey.h"

namespace {

const char* const kTitleValues[kColumnCount] = {TOLVARD_TITLE_NAME, TOLVARD_TITLE_SIZE, TOLVARD_TITLE_TYPE,
                                                TOLVARD_TITLE_MODIFIED};
const char* const kSwitchValues[] = {TOLVARD_ENABLE_CONTEXT, TOLVARD_ENABLE_PROPERTY, TOLVARD_ENABLE_EXPLORER};

LONG Query(HKEY key, const char* value, void* data, DWORD* size, DWORD* type = nullptr) {
    if (!key) return ERROR_INVALID_HANDLE;
    return RegQueryValueExA(key, value, nullptr, type, static_cast<BYTE*>(data), size);
}

bool Store(HKEY key, const char* value, DWORD type, const void* data, DWORD size) {
    return key && RegSetValueExA(key, value, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

// A text value, whatever its registry type, into a buffer of size bytes, zero-terminated.
// Some writers store texts without their zero: such a text ends where its data ends. A
// text that leaves no room for the zero was written by none of them and, like one that
// cannot be read, leaves the fallback. A failed read may leave anything in the buffer,
// so it is cleared again.
LONG ReadText(HKEY key, const char* value, char* buffer, DWORD size, const char* fallback) {
    memset(buffer, 0, size);
    DWORD got = size;
    LONG result = Query(key, value, buffer, &got);
    if (result == ERROR_SUCCESS && got >= size && buffer[size - 1] != '\0') result = ERROR_MORE_DATA;
    if (result != ERROR_SUCCESS) {
        memset(buffer, 0, size);
        lstrcpynA(buffer, fallback, static_cast<int>(size));
    }
    return result;
}

}  // namespace

LONG ReadColumnName(HKEY key, char (&name)[kColumnNameSize]) {
    return ReadText(key, TOLVANE_COLUMN_NAME, name, sizeof name, TOLVANE_COLUMN_NAME_DEFAULT);
}

bool WriteColumnName(HKEY key, const char* name) {
    // The name and its zero in a zeroed block of always the same length.
    char block[TOLVANE_COLUMN_NAME_BYTES] = {};
    strncpy(block, name, sizeof block - 1);
    return Store(key, TOLVANE_COLUMN_NAME, REG_SZ, block, sizeof block);
}

LONG ReadColumnWidth(HKEY key, int* width) {
    char digits[21] = {};
    DWORD got = 20;
    LONG result = Query(key, TOLVANE_COLUMN_WIDTH, digits, &got);
    if (result != ERROR_SUCCESS) {
        *width = TOLVANE_COLUMN_WIDTH_DEFAULT;
        return result;
    }
    digits[got < 20 ? got : 20] = '\0';
    // Its leading digits (none: 0); the C runtime's atoi ends too many at the largest int.
    *width = atoi(digits);
    return result;
}

bool WriteColumnWidth(HKEY key, int width) {
    char digits[21] = {};
    int length = snprintf(digits, 19, "%d", width);
    if (length < 0 || length > 18) return false;
    // The value holds the digits alone. The registry counts a zero that follows the
    // data of a string as its terminator and stores it too, so none may follow.
    digits[length] = ' ';
    return Store(key, TOLVANE_COLUMN_WIDTH, REG_SZ, digits, static_cast<DWORD>(length));
}

LONG ReadContextWidth(HKEY key, DWORD* width) {
    // Whatever its type, into four bytes that hold the default beforehand: a shorter
    // value overwrites only its own bytes of it, as the menu has always read it.
    const DWORD preset = TOLVANE_CONTEXT_WIDTH_DEFAULT;
    DWORD value = preset;
    DWORD size = sizeof value;
    LONG result = Query(key, TOLVANE_CONTEXT_WIDTH, &value, &size);
    *width = result == ERROR_SUCCESS ? value : preset;
    return result;
}

bool WriteContextWidth(HKEY key, DWORD width) {
    return Store(key, TOLVANE_CONTEXT_WIDTH, REG_DWORD, &width, sizeof width);
}

LONG ReadAnsi(HKEY key, bool* ansi) {
    char text[4] = {};   // at most three characters and a zero
    LONG result = ReadText(key, TOLVANE_ANSI, text, sizeof text, TOLVANE_ANSI_DEFAULT);
    *ansi = text[0] != '0';
    return result;
}

bool WriteAnsi(HKEY key, bool ansi) {
    const char text[2] = {ansi ? '1' : '0', '\0'};
    return Store(key, TOLVANE_ANSI, REG_SZ, text, sizeof text);
}

LONG ReadDescriptionName(HKEY key, char (&name)[kDescriptionNameSize]) {
    LONG result = ReadText(key, TOLVANE_DESCRIPTION_NAME, name, sizeof name, "");
    // An empty name names no file: the default stands for it as for none.
    if (name[0] == '\0') lstrcpynA(name, TOLVANE_DESCRIPTION_NAME_DEFAULT, sizeof name);
    return result;
}

LONG ReadTitlePrefix(HKEY key, char (&prefix)[kLearnedTextSize]) {
    LONG result = ReadText(key, TOLVARD_TITLE_PREFIX, prefix, sizeof prefix, "");
    // Stored between two delimiters (the wizard's double quotes), which are dropped.
    size_t length = strlen(prefix);
    if (length >= 2) {
        memmove(prefix, prefix + 1, length - 2);
        prefix[length - 2] = '\0';
    }
    return result;
}

bool WriteTitlePrefix(HKEY key, const char* prefix) {
    // As designed: between double quotes, with its zero; the reader drops the first and
    // the last character, whatever they are.
    char quoted[kLearnedTextSize + 4];
    const int length = lstrlenA(prefix);
    if (length > static_cast<int>(sizeof quoted) - 3) return false;
    quoted[0] = '"';
    memcpy(quoted + 1, prefix, length);
    quoted[length + 1] = '"';
    quoted[length + 2] = '\0';
    return Store(key, TOLVARD_TITLE_PREFIX, REG_SZ, quoted, length + 3);
}

LONG ReadColumnTitle(HKEY key, ExplorerColumn column, char (&title)[kLearnedTextSize]) {
    if (static_cast<unsigned>(column) >= kColumnCount) {
        title[0] = '\0';
        return ERROR_INVALID_PARAMETER;
    }
    return ReadText(key, kTitleValues[column], title, sizeof title, "");
}

bool WriteColumnTitle(HKEY key, ExplorerColumn column, const char* title) {
    if (static_cast<unsigned>(column) >= kColumnCount) return false;
    // As designed: without the terminating zero.
    return Store(key, kTitleValues[column], REG_SZ, title, lstrlenA(title));
}

bool IsSwitchOn(FeatureSwitch feature) {
    // As the framework's profile reads a number: a REG_DWORD of four bytes, nonzero
    // for on; any other value, like a missing one, is the default.
    DWORD value = 0, type = 0, size = sizeof value;
    CRegistryKey key;
    if (key.OpenForReading(HKEY_CURRENT_USER, TOLVARD_SETTINGS_KEY) &&
        key.Query(kSwitchValues[feature], &value, &size, &type) == ERROR_SUCCESS && type == REG_DWORD &&
        size == sizeof value)
        return value != 0;
    return TOLVARD_SWITCH_DEFAULT != 0;
}

bool WriteSwitch(FeatureSwitch feature, bool on) {
    CRegistryKey key;
    if (!key.Create(HKEY_CURRENT_USER, TOLVARD_SETTINGS_KEY)) return false;
    const DWORD value = on ? 1 : 0;
    return key.Set(kSwitchValues[feature], REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
}

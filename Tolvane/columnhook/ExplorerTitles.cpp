#include "ColumnHook.h"

#include <commctrl.h>
#include <string.h>

#include "Contract.h"
#include "store/PathParts.h"

ExplorerTitles g_learnedTitles = {};

void ReadRegText(const CRegistryKey& key, const char* value, char* buffer, DWORD size, const char* preset) {
    // The wizard stores some texts without a terminating zero, and a failed read
    // may leave anything in the buffer: clear it first, restore the preset after
    // a failure, and always keep the last byte for the terminator.
    memset(buffer, 0, size);
    DWORD got = size;
    if (key.Query(value, buffer, &got) != ERROR_SUCCESS) {
        memset(buffer, 0, size);
        lstrcpynA(buffer, preset, static_cast<int>(size));
        return;
    }
    buffer[got < size ? got : size - 1] = '\0';
}

void StripDelimiters(char* text) {
    size_t length = strlen(text);
    if (length < 2) return;
    memmove(text, text + 1, length - 2);
    text[length - 2] = '\0';
}

void LoadExplorerTitles() {
    if (g_learnedTitles.loaded) return;
    // As designed: the key is created when missing, although only read here.
    CRegistryKey key;
    key.Create(HKEY_CURRENT_USER, TOLVARD_EXPLORER_KEY);
    ReadRegText(key, TOLVARD_TITLE_PREFIX, g_learnedTitles.prefix, sizeof g_learnedTitles.prefix, "");
    StripDelimiters(g_learnedTitles.prefix);
    g_learnedTitles.prefixLength = static_cast<int>(strlen(g_learnedTitles.prefix));
    ReadRegText(key, TOLVARD_TITLE_NAME, g_learnedTitles.name, sizeof g_learnedTitles.name, "");
    ReadRegText(key, TOLVARD_TITLE_SIZE, g_learnedTitles.size, sizeof g_learnedTitles.size, "");
    ReadRegText(key, TOLVARD_TITLE_TYPE, g_learnedTitles.type, sizeof g_learnedTitles.type, "");
    ReadRegText(key, TOLVARD_TITLE_MODIFIED, g_learnedTitles.modified, sizeof g_learnedTitles.modified, "");
    g_learnedTitles.loaded = true;
}

bool IsDetailsFileView(HWND listView) {
    LoadExplorerTitles();
    int matches = 0;
    for (int index = 0; index < 4; ++index) {
        char text[260] = "(none)";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        // A missing column leaves "(none)", which no learned title is.
        SendMessageA(listView, LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
        text[sizeof text - 1] = '\0';
        if (EqualNoCase(text, g_learnedTitles.name) || EqualNoCase(text, g_learnedTitles.size) ||
            EqualNoCase(text, g_learnedTitles.type) ||
            EqualNoCase(text, g_learnedTitles.modified))
            ++matches;
    }
    return matches >= 2;
}

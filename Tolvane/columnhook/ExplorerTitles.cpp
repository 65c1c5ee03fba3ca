// The Explorer texts that Tolvard's wizard learned (the text in front of the folder
// path in the title, the four column titles), read once per process, and the test of
// a list view against those titles that tells a details file view.
#include "ColumnHook.h"

#include <commctrl.h>
#include <string.h>

#include "Contract.h"
#include "RegistryKey.h"
#include "RegistrySettings.h"
#include "store/PathParts.h"

ExplorerTitles g_learnedTitles = {};

void LoadExplorerTitles() {
    if (g_learnedTitles.loaded) return;
    // As designed: the key is created when missing, although only read here.
    CRegistryKey key;
    key.Create(HKEY_CURRENT_USER, TOLVARD_EXPLORER_KEY);
    ReadTitlePrefix(key.Handle(), g_learnedTitles.prefix);
    g_learnedTitles.prefixLength = static_cast<int>(strlen(g_learnedTitles.prefix));
    ReadColumnTitle(key.Handle(), kColumnName, g_learnedTitles.name);
    ReadColumnTitle(key.Handle(), kColumnSize, g_learnedTitles.size);
    ReadColumnTitle(key.Handle(), kColumnType, g_learnedTitles.type);
    ReadColumnTitle(key.Handle(), kColumnModified, g_learnedTitles.modified);
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

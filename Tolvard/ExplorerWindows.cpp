// Finding Explorer's folder window and its list view, and storing the caption prefix.
#include "ExplorerWizard.h"

#include <string.h>

#include "Contract.h"
#include "RegistryKey.h"

namespace {

struct WindowSearch {
    const char* classes[2];
    HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM param) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    char className[100] = {};
    GetClassNameA(window, className, 100);
    for (const char* wanted : search->classes) {
        if (wanted && strcmp(className, wanted) == 0) {
            search->found = window;
            return FALSE;
        }
    }
    return TRUE;
}

}  // namespace

HWND FindExplorerWindow() {
    WindowSearch search = {{"ExploreWClass", "CabinetWClass"}, nullptr};
    EnumWindows(MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindExplorerListView(HWND explorer) {
    if (!explorer) return nullptr;
    WindowSearch search = {{"SysListView32", nullptr}, nullptr};
    EnumChildWindows(explorer, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int StoreTitlePrefix(HWND explorer, char* caption) {
    caption[0] = '\0';
    if (GetWindowTextA(explorer, caption, MAX_PATH) <= 0) {
        caption[0] = '\0';
        return 0;
    }

    // The prefix goes between double quotes: the text before the first dash, "- ".
    // A caption of 259 characters makes at most 263 with the quotes and the blank.
    char prefix[MAX_PATH + 8] = {};
    char* dash = strchr(caption, '-');
    if (dash) {
        *dash = '\0';
        wsprintfA(prefix, "\"%s- \"", caption);
        *dash = '-';
    } else {
        lstrcpyA(prefix, "\"\"");
    }

    CRegistryKey key;
    if (!key.Create(HKEY_CURRENT_USER, TOLVARD_EXPLORER_KEY)) return 0;
    return key.Set(TOLVARD_TITLE_PREFIX, REG_SZ, prefix, lstrlenA(prefix) + 1) == ERROR_SUCCESS ? 1 : 0;
}

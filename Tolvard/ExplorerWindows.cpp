// Finding Explorer's folder window and its list view, and storing the caption prefix.
#include "ExplorerWizard.h"

#include <string.h>

#include "Contract.h"
#include "RegistryKey.h"
#include "RegistrySettings.h"

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

    // The prefix: the text before the first dash, then "- "; none without a dash.
    // A caption of 259 characters makes at most 261.
    char prefix[MAX_PATH + 4] = {};
    char* dash = strchr(caption, '-');
    if (dash) {
        *dash = '\0';
        wsprintfA(prefix, "%s- ", caption);
        *dash = '-';
    }

    CRegistryKey key;
    if (!key.Create(HKEY_CURRENT_USER, TOLVARD_EXPLORER_KEY)) return 0;
    return WriteTitlePrefix(key.Handle(), prefix) ? 1 : 0;
}

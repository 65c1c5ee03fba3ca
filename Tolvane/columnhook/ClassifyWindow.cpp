// Which of the windows the column hook meets it cares about, told by window class:
// Explorer's two frames, the shell view and its list view, and the standard open and
// save dialogs (see ColumnHook.h).
#include "ColumnHook.h"

#include <string.h>

WindowKind ClassifyWindow(HWND window) {
    if (!window) return WindowKind::None;
    char className[256] = {};
    if (GetClassNameA(window, className, sizeof className) <= 0) return WindowKind::None;

    // Exact, case-sensitive names; the first match decides.
    if (strcmp(className, "SysListView32") == 0) return WindowKind::ListView;
    if (strcmp(className, "SHELLDLL_DefView") == 0) return WindowKind::ShellView;
    if (strcmp(className, "ExploreWClass") == 0) return WindowKind::ExplorerFrame;
    if (strcmp(className, "CabinetWClass") == 0) return WindowKind::CabinetFrame;
    if (strcmp(className, "#32770") == 0) {
        // Only titled popup or modal-frame dialogs: the standard open and save
        // dialogs are of this kind, the child pages inside them are not.
        LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        if (GetWindowTextLengthA(window) > 0 && (style & (WS_POPUP | DS_MODALFRAME)) != 0)
            return WindowKind::DialogHost;
    }
    return WindowKind::None;
}

// tolvard_pictures.exe welcome|confirm|titles|menu: shows one of Tolvard's wizard pages,
// or its tray menu with the three switches on, for the README's pictures
// (scripts/screenshots.d/tolvard-tray.sh). Ends when the page or menu is closed (by
// scripts/screenshots once it has its picture).
#include "ExplorerWizard.h"
#include "resource.h"
#include "ScreenShots.h"

#include <commctrl.h>
#include <string.h>

#include <initializer_list>

namespace {

INT_PTR CALLBACK ShowPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (lParam) SetDlgItemTextA(page, IDC_EXPLORER_CAPTION, reinterpret_cast<const char*>(lParam));
        for (int column = 0; column < kColumnCount; ++column)
            SetDlgItemTextA(page, IDC_TITLE_NAME + column, g_columnTitles[column]);
        return TRUE;
    }
    if (message == WM_COMMAND && (wParam == IDOK || wParam == IDCANCEL || wParam == IDC_WIZARD_BACK)) {
        EndDialog(page, wParam);
        return TRUE;
    }
    return FALSE;
}

void ShowTrayMenu() {
    HWND owner = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 nullptr, nullptr);
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYICON));
    HMENU popup = GetSubMenu(menu, 0);
    SetMenuDefaultItem(popup, 0, TRUE);
    for (UINT id : {ID_TOGGLE_CONTEXT, ID_TOGGLE_PROPERTY, ID_TOGGLE_EXPLORER})
        CheckMenuItem(popup, id, MF_BYCOMMAND | MF_CHECKED);
    SetForegroundWindow(owner);
    TrackPopupMenu(popup, 0, 300, 200, 0, owner, nullptr);
    DestroyMenu(menu);
    DestroyWindow(owner);
}

}  // namespace

int main(int argc, char** argv) {
    InitCommonControls();
    const char* what = argc > 1 ? argv[1] : "welcome";
    const char* titles[kColumnCount] = {"Name", "Size", "Type", "Modified"};
    for (int column = 0; column < kColumnCount; ++column) lstrcpyA(g_columnTitles[column], titles[column]);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    shots::TakeWhenShown();
    if (strcmp(what, "menu") == 0) {
        ShowTrayMenu();
    } else if (strcmp(what, "confirm") == 0) {
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_WIZARD_CONFIRM), nullptr, ShowPage,
                        reinterpret_cast<LPARAM>("Exploring - C:\\My Documents"));
    } else if (strcmp(what, "titles") == 0) {
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_WIZARD_TITLES), nullptr, ShowPage, 0);
    } else {
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_WIZARD_WELCOME), nullptr, ShowPage, 0);
    }
    return shots::Wanted() && !shots::TakenWhenShown() ? 1 : 0;
}

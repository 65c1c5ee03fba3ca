// The wizard's run: welcome page, Explorer search, confirmation page, column titles.
#include "ExplorerWizard.h"
#include "resource.h"

BOOL EndWizardPage(HWND page, WPARAM command) {
    switch (command) {
    case IDOK:
        EndDialog(page, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(page, 2);
        return TRUE;
    case IDC_WIZARD_BACK:
        EndDialog(page, IDC_WIZARD_BACK);
        return TRUE;
    }
    return FALSE;
}

namespace {

enum WizardStep { kStepWelcome, kStepConfirm, kStepTitles, kStepDone };

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return TRUE;
    // The first page has no way back.
    return message == WM_COMMAND && wParam != IDC_WIZARD_BACK && EndWizardPage(page, wParam);
}

INT_PTR CALLBACK ConfirmPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const char* caption = reinterpret_cast<const char*>(lParam);
        if (caption && caption[0])
            SetDlgItemTextA(page, IDC_EXPLORER_CAPTION, caption);
        else
            EnableWindow(GetDlgItem(page, IDOK), FALSE);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    // A disabled default button still answers Enter: only a caption lets the run go on.
    if (wParam == IDOK && !IsWindowEnabled(GetDlgItem(page, IDOK))) return TRUE;
    return EndWizardPage(page, wParam);
}

INT_PTR ShowPage(int resource, DLGPROC proc, LPARAM param) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), nullptr, proc, param);
}

}  // namespace

int RunExplorerWizard() {
    int step = kStepWelcome;
    HWND explorer = nullptr;
    HWND listView = nullptr;
    char caption[MAX_PATH] = {};
    while (step != kStepDone) {
        switch (step) {
        case kStepWelcome:
            // Cancel ends the run; so does a page that cannot be shown at all.
            if (ShowPage(IDD_WIZARD_WELCOME, WelcomePageProc, 0) != 1) return 0;
            step = kStepConfirm;
            break;
        case kStepConfirm: {
            explorer = FindExplorerWindow();
            if (!explorer) {
                OutputDebugStringA("Explorer nicht geladen!");
                MessageBoxA(nullptr, "Error: didn't find Windows-Explorer!", "Tolvard", MB_OK);
                step = kStepWelcome;
                break;
            }
            listView = FindExplorerListView(explorer);
            if (!listView) {
                OutputDebugStringA("Fenster 'SysListView32' des Explorers nicht gefunden!");
                MessageBoxA(nullptr,
                            "Error: didn't find internal Explorer window!\n"
                            "Please make sure Windows-Explorer shows detailled view.",
                            "Tolvard", MB_OK);
                step = kStepWelcome;
                break;
            }
            StoreTitlePrefix(explorer, caption);
            INT_PTR result = ShowPage(IDD_WIZARD_CONFIRM, ConfirmPageProc, reinterpret_cast<LPARAM>(caption));
            if (result == 1)
                step = kStepTitles;
            else if (result == IDC_WIZARD_BACK)
                step = kStepWelcome;
            else
                return 0;
            break;
        }
        case kStepTitles:
            ReadColumnTitles(listView);
            step = kStepDone;
            break;
        }
    }
    return 1;
}

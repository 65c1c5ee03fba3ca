// The modal description edit dialog (EditDialog.h) that the context-menu entry opens:
// its dialog procedure over the shared description fields, and the tab control class
// its frame needs, registered where the host has not.
#include "EditDialog.h"

#include <commctrl.h>

#include "DescriptionFields.h"
#include "module/Module.h"
#include "Resource.h"
#include "module/WideWindows.h"

namespace {

// The frame 1012 is a tab control: its class must be registered in this process
// even when the host has not done so. comctl32 4.70 (Internet Explorer 3) and later
// register just that class through InitCommonControlsEx; the 4.00 of Windows 95 and
// NT 4 lacks it, and there InitCommonControls registers all of them.
void RegisterTabControl() {
    typedef BOOL(WINAPI * InitCommonControlsExFn)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = GetModuleHandleA("comctl32.dll");  // loaded: this library imports it
    InitCommonControlsExFn initCommonControlsEx = comctl ? reinterpret_cast<InitCommonControlsExFn>(
        reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx"))) : nullptr;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TAB_CLASSES};
    if (!initCommonControlsEx || !initCommonControlsEx(&classes)) InitCommonControls();
}

const SelectedFile& FileOf(HWND dialog) {
    return *reinterpret_cast<const SelectedFile*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

}  // namespace

void ShowEditDialog(HWND owner, const SelectedFile& file) {
    RegisterTabControl();
    const LPARAM parameter = reinterpret_cast<LPARAM>(&file);
    // Controls made by the wide function hold wide text: the name and the
    // description keep every letter.
    const WideWindows* wide = Wide();
    if (file.wide) {
        if (wide)
            wide->dialogBoxParam(g_moduleHandle, MAKEINTRESOURCEW(IDD_EDIT_DIALOG), owner, EditDialogProc, parameter);
        return;
    }
    DialogBoxParamA(g_moduleHandle, MAKEINTRESOURCEA(IDD_EDIT_DIALOG), owner, EditDialogProc, parameter);
}

INT_PTR CALLBACK EditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SetDlgItemTextA(dialog, IDC_FRAME, "Description");
        FillDescriptionFields(dialog, FileOf(dialog));
        return TRUE;
    }
    case WM_COMMAND:
        switch (wParam) {
        case IDC_LONG_AS_SHORT:
            CopyLongNameToShortField(dialog, FileOf(dialog));
            return FALSE;
        case IDOK: {
            // What could not be stored stays in its field, and the dialog open.
            const FieldsStored outcome = StoreDescriptionFields(dialog, FileOf(dialog));
            if (outcome != FieldsStored::All) {
                ReportNotStored(dialog, outcome);
                return TRUE;
            }
            EndDialog(dialog, 0);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

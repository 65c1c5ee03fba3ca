// The "Description" property page (PropertyPage.h): its dialog procedure over the shared
// description fields, and the page callback that holds the extension object while the
// page exists.
#include "PropertyPage.h"

#include "DescriptionFields.h"
#include "Resource.h"
#include "ShellExtension.h"

namespace {

// The page's description, ANSI or wide: its lParam stands at the same place in both.
CShellExtension* ExtensionOf(HWND page) {
    const PROPSHEETPAGEA* description = reinterpret_cast<const PROPSHEETPAGEA*>(GetWindowLongPtrA(page, DWLP_USER));
    return description ? reinterpret_cast<CShellExtension*>(description->lParam) : nullptr;
}

void EnableApply(HWND page) { EnableWindow(GetDlgItem(GetParent(page), IDC_SHEET_APPLY), TRUE); }

}  // namespace

INT_PTR CALLBACK PropertyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(page, DWLP_USER, lParam);
        const CShellExtension* extension = ExtensionOf(page);
        if (extension) FillDescriptionFields(page, extension->Selected());
        return TRUE;
    }
    case WM_COMMAND:
        if (wParam == IDC_ANSI_FONT) {
            EnableApply(page);
        } else if (wParam == IDC_LONG_AS_SHORT) {
            const CShellExtension* extension = ExtensionOf(page);
            if (extension) CopyLongNameToShortField(page, extension->Selected());
            EnableApply(page);
        }
        return FALSE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header) return FALSE;
        // Notifications are answered PSNRET_NOERROR: applying goes on and keys
        // are translated as usual. An Apply that could not store keeps the
        // sheet open on this page, with the text in its field.
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        if (header->code == static_cast<UINT>(PSN_TRANSLATEACCELERATOR)) {
            EnableApply(page);
        } else if (header->code == static_cast<UINT>(PSN_APPLY)) {
            const CShellExtension* extension = ExtensionOf(page);
            // What could not be stored stays in its field, and the sheet open on this page.
            const FieldsStored outcome = extension ? StoreDescriptionFields(page, extension->Selected()) : FieldsStored::All;
            if (outcome != FieldsStored::All) {
                ReportNotStored(GetParent(page), outcome);
                SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_INVALID_NOCHANGEPAGE);
            }
        }
        return TRUE;
    }
    }
    return FALSE;
}

// The page holds one reference on its object from AddPages until the sheet
// lets the page go.
UINT CALLBACK PropertyPageCallback(HWND window, UINT message, PROPSHEETPAGEA* page) {
    if (message == PSPCB_RELEASE && page && page->lParam)
        reinterpret_cast<CShellExtension*>(page->lParam)->ReleasePageReference();
    return 1;
}

UINT CALLBACK PropertyPageCallbackW(HWND window, UINT message, PROPSHEETPAGEW* page) {
    if (message == PSPCB_RELEASE && page && page->lParam)
        reinterpret_cast<CShellExtension*>(page->lParam)->ReleasePageReference();
    return 1;
}

// The description column itself: appending it to a list view with the title and width
// from the registry, saving its width when it is met again, and the column order that
// some common controls need put right.
#include "ColumnHook.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <string.h>

#include "Contract.h"
#include "RegistryKey.h"
#include "RegistrySettings.h"
#include "store/PathParts.h"

int DescriptionColumn = 0;

namespace {

const int kMaxColumns = 40;

// The comctl32 of this process, read through its DllGetVersion; false when it
// has none (versions before 4.70).
bool GetCommonControlsVersion(DWORD* major, DWORD* minor) {
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    if (!comctl) return false;
    DLLGETVERSIONPROC getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
    if (!getVersion) return false;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof info;
    if (FAILED(getVersion(&info))) return false;
    *major = info.dwMajorVersion;
    *minor = info.dwMinorVersion;
    return true;
}

// The comctl32 versions 4.70 to 4.72 keep an order array that does not know
// about a column inserted at the end; putting the columns in their natural
// order makes the new one show at the right.
void ResetColumnOrder(HWND listView, int newColumn) {
    DWORD major = 0, minor = 0;
    if (!GetCommonControlsVersion(&major, &minor) || !ColumnOrderNeedsReset(major, minor)) return;
    int order[kMaxColumns + 1];
    for (int index = 0; index <= newColumn; ++index) order[index] = index;
    SendMessageA(listView, LVM_SETCOLUMNORDERARRAY, newColumn + 1, reinterpret_cast<LPARAM>(order));
}

}  // namespace

void AddDescriptionColumn(HWND listView) {
    if (!IsDetailsFileView(listView)) return;

    // As designed: the key is created when missing, although it may only be read.
    CRegistryKey key;
    key.Create(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY);
    char title[kColumnNameSize];
    ReadColumnName(key.Handle(), title);

    bool found = false;
    DescriptionColumn = 0;
    while (DescriptionColumn < kMaxColumns) {
        char text[260] = "(none)";
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        LRESULT result = SendMessageA(listView, LVM_GETCOLUMNA, DescriptionColumn, reinterpret_cast<LPARAM>(&column));
        text[sizeof text - 1] = '\0';
        if (result == 0 || strcmp(text, "(none)") == 0) break;  // the columns have ended
        if (EqualNoCase(text, title)) {
            WriteColumnWidth(key.Handle(), column.cx);
            found = true;
            break;
        }
        ++DescriptionColumn;
    }

    if (!found) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = LVCFMT_LEFT;
        int width = 0;
        ReadColumnWidth(key.Handle(), &width);
        column.cx = width;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        SendMessageA(listView, LVM_INSERTCOLUMNA, DescriptionColumn, reinterpret_cast<LPARAM>(&column));
        ResetColumnOrder(listView, DescriptionColumn);

        // Its cells are asked of the view's parent from now on.
        int rows = static_cast<int>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < rows; ++row) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = DescriptionColumn;
            item.pszText = LPSTR_TEXTCALLBACKA;
            SendMessageA(listView, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
}

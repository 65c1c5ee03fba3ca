// The window procedures put in front of a subclassed shell view: the folder window's,
// which answers the list view's requests for the description cells (the path taken
// from the title and the row's label), and the open and save dialogs'.
#include "ColumnHook.h"
#include "DescriptionCache.h"
#include "ViewCaches.h"

#include <commctrl.h>
#include <string.h>

#include "store/AnsiText.h"
#include "store/DescriptionFile.h"
#include "store/PathParts.h"

namespace {

const size_t kTextSize = 260;  // 259 characters and the terminator

// Builds the full path of the row's file from the folder window's title and the
// row's label; false when there is none or it would not fit in 259 characters.
bool ComposeItemPath(HWND view, HWND listView, int row, char* path /* kTextSize */) {
    char title[kTextSize] = {};
    if (GetWindowTextA(GetParent(view), title, sizeof title) <= 0 || title[0] == '\0') return false;
    LoadExplorerTitles();

    const char* folder = title;
    if (g_learnedTitles.prefixLength > 0 &&
        strncmp(title, g_learnedTitles.prefix, static_cast<size_t>(g_learnedTitles.prefixLength)) == 0)
        folder += g_learnedTitles.prefixLength;

    char label[kTextSize] = {};
    GetItemLabel(listView, row, label);

    size_t folderLength = strlen(folder);
    bool needsSeparator = folderLength == 0 || folder[folderLength - 1] != '\\';
    size_t total = folderLength + (needsSeparator ? 1 : 0) + strlen(label);
    if (total > kTextSize - 1) return false;  // such a path names no file we can look up

    strcpy(path, folder);
    if (needsSeparator) strcat(path, "\\");
    strcat(path, label);
    return true;
}

}  // namespace

// The description of the file, or an empty text when it has none (also when
// memory runs out: the store then finds nothing).
void LookupDescription(const char* path, char* description /* kTextSize */) {
    description[0] = '\0';
    // The folder of path selects the description file.
    CDescriptionFile list;
    list.Load(path);
    const char* found = list.Lookup(path);
    lstrcpynA(description, found ? found : "", static_cast<int>(kTextSize));
    list.Close();
    if (EqualNoCase(description, path)) description[0] = '\0';
}

namespace {

// Hands the text back within the caller's bound, always zero-terminated: an
// empty cell gets the empty text rather than whatever the buffer held.
void HandBackText(NMLVDISPINFOA* info, bool wide, const char* description) {
    if (!info->item.pszText || info->item.pszText == LPSTR_TEXTCALLBACKA || info->item.cchTextMax <= 0) return;
    int room = info->item.cchTextMax;
    if (wide) {
        WCHAR converted[kTextSize] = {};
        if (description[0] && MultiByteToWideChar(CP_ACP, 0, description, -1, converted, kTextSize) == 0)
            converted[0] = L'\0';
        WCHAR* target = reinterpret_cast<WCHAR*>(info->item.pszText);
        int length = lstrlenW(converted);
        if (length > room - 1) length = room - 1;
        memcpy(target, converted, static_cast<size_t>(length) * sizeof(WCHAR));
        target[length] = L'\0';
    } else {
        lstrcpynA(info->item.pszText, description, room);
    }
}

// The description of one cell, answered from what the view's cache read of the
// file within its freshness bound; read straight from the file when the cache
// cannot answer.
void DescriptionOfCell(HWND view, const char* path, char* description /* kTextSize */) {
    CDescriptionCache* cache = CacheOfView(view);
    if (cache && cache->Lookup(path, description)) return;
    LookupDescription(path, description);
}

void SupplyCellText(HWND view, NMLVDISPINFOA* info, bool wide) {
    char path[kTextSize] = {};
    char description[kTextSize] = {};
    if (ComposeItemPath(view, info->hdr.hwndFrom, info->item.iItem, path)) DescriptionOfCell(view, path, description);
    HandBackText(info, wide, description);
}

bool IsOurColumn(HWND listView, int subItem) {
    return DescriptionColumn > 0 && subItem == DescriptionColumn && IsDetailsFileView(listView);
}

}  // namespace

void GetItemLabel(HWND listView, int row, char* label) {
    label[0] = '\0';
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = label;
    item.cchTextMax = static_cast<int>(kTextSize);
    SendMessageA(listView, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    label[kTextSize - 1] = '\0';
}

LRESULT CALLBACK FolderViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && lParam) {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == LVN_GETDISPINFOA || header->code == LVN_GETDISPINFOW) {
            NMLVDISPINFOA* info = reinterpret_cast<NMLVDISPINFOA*>(lParam);
            if ((info->item.mask & LVIF_TEXT) && DescriptionColumn > 0 && info->item.iSubItem == DescriptionColumn &&
                IsDetailsFileViewOf(view, header->hwndFrom)) {
                SupplyCellText(view, info, header->code == LVN_GETDISPINFOW);
                return 0;
            }
        } else if (header->code == LVN_COLUMNCLICK) {
            NMLISTVIEW* click = reinterpret_cast<NMLISTVIEW*>(lParam);
            if (IsOurColumn(header->hwndFrom, click->iSubItem)) {
                MessageBeep(MB_OK);  // the column cannot be sorted
                return 0;
            }
        }
    } else if (message == WM_NCDESTROY) {
        ForgetView(view);  // nothing is kept for a view that is gone
    }
    return CallWindowProcA(SavedViewProc, view, message, wParam, lParam);
}

// As designed: in the open and save dialogs the column is added but left to the
// dialog, so this procedure only forwards. It stays a procedure of its own so that
// a dialog's view is told apart from a folder window's.
LRESULT CALLBACK DialogViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(SavedViewProc, view, message, wParam, lParam);
}

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
#include "module/WideWindows.h"

namespace {

const size_t kTextSize = 260;  // 259 characters and the terminator

// The folder window's title and the row's label, read in the form of the text
// asked for: wide ones, where the list view asks for wide text and Windows has
// the wide functions, can hold letters that no ANSI code page has.
int WindowTitle(HWND window, char* title) { return GetWindowTextA(window, title, static_cast<int>(kTextSize)); }
int WindowTitle(HWND window, wchar_t* title) {
    return Wide()->getWindowText(window, title, static_cast<int>(kTextSize));
}

void ItemLabel(HWND listView, int row, char* label) { GetItemLabel(listView, row, label); }
void ItemLabel(HWND listView, int row, wchar_t* label) {
    label[0] = L'\0';
    LVITEMW item = {};
    item.iSubItem = 0;
    item.pszText = label;
    item.cchTextMax = static_cast<int>(kTextSize);
    Wide()->sendMessage(listView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    label[kTextSize - 1] = L'\0';
}

// The learned prefix (an ANSI text, as the wizard stores it) in the title's form.
bool PrefixOf(char* prefix) { return CopyText(g_learnedTitles.prefix, prefix, kTextSize); }
bool PrefixOf(wchar_t* prefix) {
    prefix[0] = L'\0';
    if (g_learnedTitles.prefixLength <= 0) return true;
    return MultiByteToWideChar(CP_ACP, 0, g_learnedTitles.prefix, -1, prefix, static_cast<int>(kTextSize)) > 0;
}

// Builds the full path of the row's file from the folder window's title and the
// row's label; false when there is none or it would not fit in 259 characters.
template <class Char>
bool ComposeItemPath(HWND view, HWND listView, int row, Char* path /* kTextSize */) {
    typedef std::basic_string_view<Char> View;
    Char title[kTextSize] = {};
    if (WindowTitle(GetParent(view), title) <= 0 || title[0] == 0) return false;
    title[kTextSize - 1] = 0;
    LoadExplorerTitles();

    View folder(title, TextLength(title));
    Char prefix[kTextSize];
    if (g_learnedTitles.prefixLength > 0 && PrefixOf(prefix)) {
        View learned(prefix, TextLength(prefix));
        // Compared as it stands, letter for letter.
        if (!learned.empty() && folder.size() >= learned.size() &&
            memcmp(folder.data(), learned.data(), learned.size() * sizeof(Char)) == 0)
            folder.remove_prefix(learned.size());
    }

    Char label[kTextSize] = {};
    ItemLabel(listView, row, label);

    const bool needsSeparator = folder.empty() || folder.back() != '\\';
    const size_t labelLength = TextLength(label);
    const size_t total = folder.size() + (needsSeparator ? 1 : 0) + labelLength;
    if (total > kTextSize - 1) return false;  // such a path names no file we can look up

    memcpy(path, folder.data(), folder.size() * sizeof(Char));
    size_t at = folder.size();
    if (needsSeparator) path[at++] = '\\';
    memcpy(path + at, label, (labelLength + 1) * sizeof(Char));
    return true;
}

}  // namespace

// The description of the file, or an empty text when it has none (also when
// memory runs out: the store then finds nothing).
void LookupDescription(const char* path, char* description /* kTextSize */) {
    description[0] = '\0';
    CDescriptionFile list;
    list.Load(path);
    const char* found = list.Lookup(path);
    lstrcpynA(description, found ? found : "", static_cast<int>(kTextSize));
    list.Close();
    if (EqualNoCase(description, path)) description[0] = '\0';
}

void LookupDescription(const wchar_t* path, wchar_t* description /* kTextSize */) {
    description[0] = L'\0';
    CDescriptionFile list;
    list.Load(path);
    const wchar_t* found = list.FindDescription(path);
    if (found) {
        // At most 259 characters, no surrogate pair cut in two.
        size_t length = TextLength(found);
        if (length > kTextSize - 1) {
            length = kTextSize - 1;
            if (found[length - 1] >= 0xD800 && found[length - 1] <= 0xDBFF) --length;
        }
        memcpy(description, found, length * sizeof(wchar_t));
        description[length] = L'\0';
    }
    list.Close();
    if (EqualNoCase(std::wstring_view(description, TextLength(description)), std::wstring_view(path, TextLength(path))))
        description[0] = L'\0';
}

namespace {

// Hands the text back within the caller's bound, always zero-terminated: an
// empty cell gets the empty text rather than whatever the buffer held. An ANSI
// description goes to a wide request as MultiByteToWideChar makes it.
void HandBack(NMLVDISPINFOA* info, bool wideRequest, const char* description) {
    int room = info->item.cchTextMax;
    if (wideRequest) {
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

// A wide description goes only to a wide request.
void HandBack(NMLVDISPINFOA* info, bool, const wchar_t* description) {
    int length = lstrlenW(description);
    if (length > info->item.cchTextMax - 1) length = info->item.cchTextMax - 1;
    // A surrogate pair is not cut in two.
    if (length > 0 && description[length - 1] >= 0xD800 && description[length - 1] <= 0xDBFF) --length;
    WCHAR* target = reinterpret_cast<WCHAR*>(info->item.pszText);
    memcpy(target, description, static_cast<size_t>(length) * sizeof(WCHAR));
    target[length] = L'\0';
}

// The description of one cell, answered from what the view's cache holds of the
// file; read straight from the file when the view can have no cache.
template <class Char>
void DescriptionOfCell(HWND view, const Char* path, Char* description /* kTextSize */) {
    CDescriptionCache* cache = CacheOfView(view);
    if (cache)
        cache->Lookup(path, description);
    else
        LookupDescription(path, description);
}

template <class Char>
void SupplyCellTextAs(HWND view, NMLVDISPINFOA* info, bool wideRequest) {
    Char path[kTextSize] = {};
    Char description[kTextSize] = {};
    if (ComposeItemPath(view, info->hdr.hwndFrom, info->item.iItem, path)) DescriptionOfCell(view, path, description);
    HandBack(info, wideRequest, description);
}

void SupplyCellText(HWND view, NMLVDISPINFOA* info, bool wideRequest) {
    if (!info->item.pszText || info->item.pszText == LPSTR_TEXTCALLBACKA || info->item.cchTextMax <= 0) return;
    // A list view that asks for wide text is a Unicode one: its labels and its
    // folder window's title are read wide, where Windows has the wide functions.
    if (wideRequest && Wide())
        SupplyCellTextAs<wchar_t>(view, info, wideRequest);
    else
        SupplyCellTextAs<char>(view, info, wideRequest);
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

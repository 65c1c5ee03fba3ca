// The demo's Explorer-shaped window of a real folder (FolderWindow.h).
#include "FolderWindow.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <windowsx.h>

#include <algorithm>
#include <map>

#include "ExplorerShape.h"

namespace demo {

namespace {

// The views this program made, with the window procedure each had before ours
// (ExplorerShape's, or Tolvane's when the column hook subclassed the view first).
std::map<HWND, std::pair<FolderWindow*, WNDPROC>> g_views;

std::string FileTime(const FILETIME& written) {
    FILETIME local;
    SYSTEMTIME time;
    FileTimeToLocalFileTime(&written, &local);
    FileTimeToSystemTime(&local, &time);
    char date[64] = "", clock[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, sizeof clock);
    return std::string(date) + " " + clock;
}

}  // namespace

std::vector<FolderWindow::FileRow> FolderWindow::ReadFolder() const {
    std::vector<FileRow> rows;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return rows;
    do {
        // Explorer's default: no folders in this list, no hidden files (DESCRIPT.ION is one).
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)) continue;
        FileRow row;
        row.name = found.cFileName;
        char size[64] = "";
        StrFormatKBSizeA((static_cast<LONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow, size, sizeof size);
        row.size = size;
        SHFILEINFOA info = {};
        SHGetFileInfoA(found.cFileName, FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
        row.type = info.szTypeName;
        row.modified = FileTime(found.ftLastWriteTime);
        rows.push_back(row);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(rows.begin(), rows.end(),
              [](const FileRow& a, const FileRow& b) { return lstrcmpiA(a.name.c_str(), b.name.c_str()) < 0; });
    return rows;
}

bool FolderWindow::Open(const std::string& folder) {
    folder_ = folder;
    explorershape::RegisterClasses(false);
    frame_ = CreateWindowExA(0, "ExploreWClass", ("Exploring - " + folder).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             20, 20, 760, 420, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!frame_) return false;
    CreateView();
    return list_ != nullptr && !names_.empty();
}

void FolderWindow::CreateView() {
    explorershape::Explorer shape;
    shape.frame = frame_;
    explorershape::CreateView(&shape);
    view_ = shape.view;
    list_ = shape.list;
    if (!view_ || !list_) return;
    WNDPROC before = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(view_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FolderWindow::ViewProc)));
    g_views[view_] = {this, before};

    std::vector<FileRow> rows = ReadFolder();
    names_.clear();
    for (const FileRow& row : rows) names_.push_back(row.name);
    explorershape::FillList(list_, explorershape::StandardColumns(), names_);
    for (size_t index = 0; index < rows.size(); ++index) {
        int row = static_cast<int>(index);
        explorershape::SetCell(list_, row, 1, rows[index].size);
        explorershape::SetCell(list_, row, 2, rows[index].type);
        explorershape::SetCell(list_, row, 3, rows[index].modified);
    }
    ListView_SetColumnWidth(list_, 0, 180);
    ListView_SetColumnWidth(list_, 2, 120);
    ListView_SetColumnWidth(list_, 3, 130);
    RECT area;
    GetClientRect(frame_, &area);
    MoveWindow(view_, 0, 0, area.right, area.bottom, TRUE);
}

void FolderWindow::ShowAgain() {
    HWND old = view_;
    CreateView();
    DestroyWindow(old);
    g_views.erase(old);
}

POINT FolderWindow::SelectRow(int row) {
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    RECT label = {};
    ListView_GetItemRect(list_, row, &label, LVIR_LABEL);
    POINT point = {label.left + 20, (label.top + label.bottom) / 2};
    ClientToScreen(list_, &point);
    return point;
}

LRESULT CALLBACK FolderWindow::ViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    auto found = g_views.find(view);
    if (found == g_views.end()) return DefWindowProcA(view, message, wParam, lParam);
    FolderWindow* window = found->second.first;
    WNDPROC before = found->second.second;
    // The list view passes a right click on to its parent as WM_CONTEXTMENU.
    if (message == WM_CONTEXTMENU && window->contextMenu_ && reinterpret_cast<HWND>(wParam) == window->list_) {
        POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int row = -1;
        if (lParam == -1) {   // from the keyboard: the selected row
            row = ListView_GetNextItem(window->list_, -1, LVNI_SELECTED);
            if (row >= 0) screen = window->SelectRow(row);
        } else {
            LVHITTESTINFO hit = {};
            hit.pt = screen;
            ScreenToClient(window->list_, &hit.pt);
            row = ListView_HitTest(window->list_, &hit);
        }
        if (row >= 0 && row < window->Rows()) window->contextMenu_(row, screen);
        return 0;
    }
    return CallWindowProcA(before, view, message, wParam, lParam);
}

}  // namespace demo

// The Explorer-shaped folder window (ExplorerShape.h): its frame, shell view and list
// view, and the shell view's answers for its own columns.
#include "ExplorerShape.h"

#include "TestSupport.h"

#include <commctrl.h>
#include <string.h>

#include <map>

namespace explorershape {

namespace {

bool g_unicodeNotify = false;
bool g_unicodeWindows = false;

LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                   : DefWindowProcA(window, message, wParam, lParam);
}
std::map<int, int> g_clicks;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(window, message, wParam, lParam);
}

LRESULT CALLBACK ShellViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFYFORMAT && lParam == NF_QUERY) return g_unicodeNotify ? NFR_UNICODE : NFR_ANSI;
    if (message == WM_NOTIFY) {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == LVN_GETDISPINFOA || header->code == LVN_GETDISPINFOW) {
            NMLVDISPINFOA* info = reinterpret_cast<NMLVDISPINFOA*>(lParam);
            if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
                char text[64];
                wsprintfA(text, "view:%d:%d", info->item.iItem, info->item.iSubItem);
                if (header->code == LVN_GETDISPINFOW)
                    MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<WCHAR*>(info->item.pszText),
                                        info->item.cchTextMax);
                else
                    lstrcpynA(info->item.pszText, text, info->item.cchTextMax);
            }
            return 0;
        }
        if (header->code == LVN_COLUMNCLICK) {
            ++g_clicks[reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem];
            return 0;
        }
    }
    if (message == WM_SIZE) {
        HWND list = FindWindowExA(window, nullptr, "SysListView32", nullptr);
        if (list) MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    }
    return DefaultProc(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameSizeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        // The newest shell view fills the frame.
        HWND view = nullptr, last = nullptr;
        while ((view = FindWindowExA(window, view, "SHELLDLL_DefView", nullptr)) != nullptr) last = view;
        if (last) MoveWindow(last, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    }
    return FrameProc(window, message, wParam, lParam);
}

void RegisterOne(const char* name, WNDPROC proc) {
    if (g_unicodeWindows) {
        std::wstring wideName = testsupport::FromAnsi(name);
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = wideName.c_str();
        RegisterClassW(&windowClass);
        return;
    }
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

std::string Shown(const char* bytes, int count) {
    std::string shown;
    for (int index = 0; index < count; ++index) {
        if (bytes[index] == '\0')
            shown += "\\0";
        else
            shown += bytes[index];
    }
    return shown;
}

}  // namespace

void RegisterClasses(bool unicodeNotify, bool unicodeWindows) {
    g_unicodeNotify = unicodeNotify;
    g_unicodeWindows = unicodeWindows;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterOne("ExploreWClass", FrameSizeProc);
    RegisterOne("CabinetWClass", FrameSizeProc);
    RegisterOne("SHELLDLL_DefView", ShellViewProc);
}

void RegisterFrameClass(const char* name) { RegisterOne(name, FrameSizeProc); }

Explorer CreateExplorer(const char* frameClass, const std::string& title, DWORD style) {
    Explorer explorer;
    if (g_unicodeWindows)
        explorer.frame = CreateWindowExW(0, testsupport::FromAnsi(frameClass).c_str(), testsupport::Wide(title).c_str(),
                                         style, 20, 20, 760, 420, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    else
        explorer.frame = CreateWindowExA(0, frameClass, title.c_str(), style, 20, 20, 760,
                                         420, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    CreateView(&explorer);
    return explorer;
}

void CreateView(Explorer* explorer) {
    RECT area = {};
    GetClientRect(explorer->frame, &area);
    explorer->view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                     area.right, area.bottom, explorer->frame, nullptr, GetModuleHandleA(nullptr),
                                     nullptr);
    explorer->list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT,
                                     0, 0, area.right, area.bottom, explorer->view, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
}

std::vector<std::string> StandardColumns() { return {"Name", "Size", "Type", "Modified"}; }

void FillList(HWND list, const std::vector<std::string>& columns, const std::vector<std::string>& labels) {
    for (size_t index = 0; index < columns.size(); ++index) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = LVCFMT_LEFT;
        column.cx = index == 0 ? 140 : 80;
        column.pszText = const_cast<char*>(columns[index].c_str());
        SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
    }
    for (size_t row = 0; row < labels.size(); ++row) {
        if (g_unicodeWindows) {
            std::wstring label = testsupport::Wide(labels[row]);
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(row);
            item.pszText = &label[0];
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        } else {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(row);
            item.pszText = const_cast<char*>(labels[row].c_str());
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        for (size_t column = 1; column < columns.size(); ++column) {
            LVITEMA cell = {};
            cell.mask = LVIF_TEXT;
            cell.iItem = static_cast<int>(row);
            cell.iSubItem = static_cast<int>(column);
            cell.pszText = LPSTR_TEXTCALLBACKA;
            SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&cell));
        }
    }
}

void SetCell(HWND list, int row, int column, const std::string& text) {
    LVITEMA cell = {};
    cell.mask = LVIF_TEXT;
    cell.iItem = row;
    cell.iSubItem = column;
    cell.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&cell));
}

int ColumnCount(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : -1;
}

std::string ColumnTitle(HWND list, int column) {
    char text[260] = {};
    LVCOLUMNA query = {};
    query.mask = LVCF_TEXT;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    if (!SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&query))) return "?";
    return text;
}

std::string ColumnTitles(HWND list) {
    std::string titles;
    int count = ColumnCount(list);
    for (int column = 0; column < count; ++column) titles += (column ? "|" : "") + ColumnTitle(list, column);
    return titles;
}

int ColumnWidth(HWND list, int column) {
    return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
}

std::string CellTextA(HWND list, int row, int column) {
    char text[260] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    text[sizeof text - 1] = '\0';
    return text;
}

namespace {

// A cell's text as a Unicode list view hands it out (LVM_GETITEMTEXTW).
void ReadCellW(HWND list, int row, int column, WCHAR (&text)[260]) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 260;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    text[259] = L'\0';
}

}  // namespace

std::string CellTextW(HWND list, int row, int column) {
    WCHAR text[260] = {};
    ReadCellW(list, row, column, text);
    char converted[600] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, converted, sizeof converted, nullptr, nullptr);
    return converted;
}

std::string CellTextUtf8(HWND list, int row, int column) {
    WCHAR text[260] = {};
    ReadCellW(list, row, column, text);
    return testsupport::Utf8(text);
}

std::string SmallCellA(HWND list, int row, int column, int room) {
    char text[64];
    memset(text, 'X', sizeof text);
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = room;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    if (item.pszText != text) return "moved:" + std::string(item.pszText ? item.pszText : "");
    return Shown(text, room + 1);
}

std::string SmallCellW(HWND list, int row, int column, int room) {
    WCHAR text[64];
    for (WCHAR& c : text) c = L'X';
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = room;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    char narrow[64];
    for (int index = 0; index <= room; ++index) narrow[index] = text[index] < 128 ? static_cast<char>(text[index]) : '?';
    return Shown(narrow, room + 1);
}

void ClickHeader(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT item = {};
    if (!SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item))) return;
    LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(header, WM_MOUSEMOVE, 0, point);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(header, WM_LBUTTONUP, 0, point);
}

int ClicksSeenByView(int column) { return g_clicks[column]; }

bool SubclassedByTolvane(HWND view) {
    void* proc = reinterpret_cast<void*>(GetWindowLongPtrA(view, GWLP_WNDPROC));
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(proc), &module))
        return false;
    return module != nullptr && module == GetModuleHandleA("Tolvane.dll");
}

}  // namespace explorershape

// Windows shaped like an Explorer folder window of Windows 95 to 2000: a frame
// titled with the folder's path, a "SHELLDLL_DefView" shell view inside it and a
// real "SysListView32" in report view inside that. The shell view answers the
// list view's requests for its own columns with "view:ROW:COLUMN" and counts
// the header clicks that reach it, so that a test can tell what the column hook
// took over and what it left to the view.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace explorershape {

struct Explorer {
    HWND frame = nullptr;
    HWND view = nullptr;
    HWND list = nullptr;
};

// Registers "ExploreWClass", "CabinetWClass" and "SHELLDLL_DefView" once.
// unicodeNotify: the shell view asks for wide notifications (LVN_GETDISPINFOW).
// unicodeWindows: the classes are Unicode ones, as Explorer's are on Windows NT;
// titles and labels are then given in UTF-8 and may hold any script.
void RegisterClasses(bool unicodeNotify, bool unicodeWindows = false);
// Registers a frame class of another name (one that is not Explorer's, say).
void RegisterFrameClass(const char* name);

// A frame of the class with the title, holding a shell view and a list view.
Explorer CreateExplorer(const char* frameClass, const std::string& title,
                        DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE);
// A further shell view with its list view in an existing frame (navigation).
void CreateView(Explorer* explorer);
// Adds the columns and one row per label; the view answers the other cells.
void FillList(HWND list, const std::vector<std::string>& columns, const std::vector<std::string>& labels);
// The four titles by which the column hook recognises a file list in details view.
std::vector<std::string> StandardColumns();

// Gives one of the view's own cells a text of its own instead of "view:ROW:COLUMN".
void SetCell(HWND list, int row, int column, const std::string& text);

int ColumnCount(HWND list);
std::string ColumnTitle(HWND list, int column);
std::string ColumnTitles(HWND list);  // joined with '|'
int ColumnWidth(HWND list, int column);

// The text of one cell as LVM_GETITEMTEXTA / LVM_GETITEMTEXTW return it.
std::string CellTextA(HWND list, int row, int column);
std::string CellTextW(HWND list, int row, int column);  // converted to ANSI
std::string CellTextUtf8(HWND list, int row, int column);  // read wide, in UTF-8
// A request with a buffer of `room` characters prefilled with 'X': the bytes
// as the list view left them, a zero shown as "\0".
std::string SmallCellA(HWND list, int row, int column, int room);
std::string SmallCellW(HWND list, int row, int column, int room);

// Clicks the middle of the column's header button, as the mouse would.
void ClickHeader(HWND list, int column);
// Header clicks (LVN_COLUMNCLICK) for the column that reached the view's own procedure.
int ClicksSeenByView(int column);

// Whether the view's window procedure has been replaced by code of Tolvane.dll.
bool SubclassedByTolvane(HWND view);

}  // namespace explorershape

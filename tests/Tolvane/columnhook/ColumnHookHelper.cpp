// The second process of the column hook's tests. The test process installs the
// system-wide hook; this program builds Explorer-shaped windows (or opens the
// standard open dialog), so the system loads Tolvane.dll here, and it writes what
// it finds as "key=value" lines into a report file, ending with "end=1".
//
//   columnhook_helper SCENARIO REPORT [ARGS...]
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlwapi.h>

#include <stdio.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "ExplorerShape.h"
#include "ImportPatch.h"
#include "TestContract.h"
#include "TestSupport.h"
#include "WindowControls.h"

using namespace explorershape;

namespace {

FILE* g_report = nullptr;

void Report(const std::string& key, const std::string& value) {
    fprintf(g_report, "%s=%s\n", key.c_str(), value.c_str());
    fflush(g_report);
}
void Report(const std::string& key, int value) { Report(key, std::to_string(value)); }

void Focus(HWND window) {
    SetFocus(window);
    testsupport::PumpPendingMessages();
}

// Moves the focus away and back, as a user clicking into the file list again.
void Refocus(const Explorer& explorer) {
    Focus(explorer.frame);
    Focus(explorer.list);
}

void ReportCells(const std::string& name, HWND list, int rows, int column) {
    for (int row = 0; row < rows; ++row) {
        Report(name + ".A." + std::to_string(row), CellTextA(list, row, column));
        Report(name + ".W." + std::to_string(row), CellTextW(list, row, column));
    }
}

// cells FRAMECLASS TITLE UNICODE LABEL...: one folder window; the column, its cells
// through both message forms, a small buffer, header clicks.
int Cells(const std::vector<std::string>& args) {
    if (args.size() < 3) return 2;
    RegisterClasses(args[2] == "1");
    Explorer explorer = CreateExplorer(args[0].c_str(), args[1]);
    std::vector<std::string> labels(args.begin() + 3, args.end());
    FillList(explorer.list, StandardColumns(), labels);
    Report("subclassed", SubclassedByTolvane(explorer.view) ? 1 : 0);
    Report("columns.before", ColumnTitles(explorer.list));
    Focus(explorer.list);
    Report("columns.after", ColumnTitles(explorer.list));
    Report("width", ColumnWidth(explorer.list, 4));
    ReportCells("cell", explorer.list, static_cast<int>(labels.size()), 4);
    Report("own.A.0", CellTextA(explorer.list, 0, 1));
    Report("small.A", SmallCellA(explorer.list, 0, 4, 5));
    Report("small.W", SmallCellW(explorer.list, 0, 4, 5));
    Report("small.A1", SmallCellA(explorer.list, 0, 4, 1));
    ClickHeader(explorer.list, 4);
    ClickHeader(explorer.list, 1);
    Report("clicks.4", ClicksSeenByView(4));
    Report("clicks.1", ClicksSeenByView(1));
    DestroyWindow(explorer.frame);
    return 0;
}

// An argument in UTF-8, given as "hex:" and its bytes in hex digits: a command
// line passes through the ANSI code page, which lacks most letters.
std::string Utf8Argument(const std::string& argument) {
    if (argument.compare(0, 4, "hex:") != 0) return argument;
    std::string bytes;
    for (size_t at = 4; at + 1 < argument.size(); at += 2)
        bytes.push_back(static_cast<char>(strtoul(argument.substr(at, 2).c_str(), nullptr, 16)));
    return bytes;
}

// widecells FRAMECLASS TITLE LABEL...: a Unicode folder window, as Explorer's are
// on Windows NT, titled and labelled in UTF-8 (hex arguments); its cells read wide.
int WideCells(const std::vector<std::string>& args) {
    if (args.size() < 2) return 2;
    RegisterClasses(true, true);
    Explorer explorer = CreateExplorer(args[0].c_str(), Utf8Argument(args[1]));
    std::vector<std::string> labels;
    for (size_t at = 2; at < args.size(); ++at) labels.push_back(Utf8Argument(args[at]));
    FillList(explorer.list, StandardColumns(), labels);
    Focus(explorer.list);
    Report("columns.after", ColumnTitles(explorer.list));
    for (size_t row = 0; row < labels.size(); ++row)
        Report("cell.U." + std::to_string(row), CellTextUtf8(explorer.list, static_cast<int>(row), 4));
    DestroyWindow(explorer.frame);
    return 0;
}

// navigate TITLE LABEL: a folder window moves to a new view; the old view is
// destroyed after the new one exists, and the new list view never gets the focus.
int Navigate(const std::vector<std::string>& args) {
    if (args.size() < 2) return 2;
    RegisterClasses(false);
    Explorer explorer = CreateExplorer("ExploreWClass", args[0]);
    FillList(explorer.list, StandardColumns(), {args[1]});
    Focus(explorer.list);
    Report("first.columns", ColumnTitles(explorer.list));

    Explorer next = explorer;
    CreateView(&next);
    FillList(next.list, StandardColumns(), {args[1]});
    Report("second.subclassed", SubclassedByTolvane(next.view) ? 1 : 0);
    Report("second.before", ColumnTitles(next.list));
    DestroyWindow(explorer.view);
    Report("second.after", ColumnTitles(next.list));
    Report("second.focused", GetFocus() == next.list ? 1 : 0);
    Report("second.cell", CellTextA(next.list, 0, 4));

    // A view that is already subclassed and makes another list view: it is not
    // subclassed twice, and that list view does not wait for a column; the
    // destruction of another shell view then brings it none.
    HWND extra = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 200, 100, next.view,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    FillList(extra, StandardColumns(), {args[1]});
    Explorer lone;
    lone.frame = CreateWindowExA(0, "CabinetWClass", args[0].c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    lone.view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD, 0, 0, 100, 100, lone.frame, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    DestroyWindow(lone.view);
    Report("extra.columns", ColumnTitles(extra));
    DestroyWindow(lone.frame);
    DestroyWindow(explorer.frame);
    return 0;
}

// layouts: the position of the new column among unusual column sets, and the
// display order after the insertion.
int Layouts(const std::vector<std::string>& args) {
    RegisterClasses(false);
    Explorer none = CreateExplorer("CabinetWClass", "C:\\none");
    std::vector<std::string> columns = StandardColumns();
    columns.push_back("(none)");
    columns.push_back("Extra");
    FillList(none.list, columns, {"a.txt"});
    Focus(none.list);
    Report("none.columns", ColumnTitles(none.list));

    Explorer many = CreateExplorer("CabinetWClass", "C:\\many");
    columns = StandardColumns();
    for (int index = 4; index < 42; ++index) columns.push_back("c" + std::to_string(index));
    FillList(many.list, columns, {"a.txt"});
    Focus(many.list);
    Report("many.count", ColumnCount(many.list));
    Report("many.40", ColumnTitle(many.list, 40));
    Report("many.41", ColumnTitle(many.list, 41));
    Report("many.42", ColumnTitle(many.list, 42));

    Explorer ordered = CreateExplorer("CabinetWClass", "C:\\ordered");
    FillList(ordered.list, StandardColumns(), {"a.txt"});
    int order[4] = {1, 0, 2, 3};
    SendMessageA(ordered.list, LVM_SETCOLUMNORDERARRAY, 4, reinterpret_cast<LPARAM>(order));
    Focus(ordered.list);
    int after[5] = {-1, -1, -1, -1, -1};
    SendMessageA(ordered.list, LVM_GETCOLUMNORDERARRAY, 5, reinterpret_cast<LPARAM>(after));
    std::string shown;
    for (int index = 0; index < 5; ++index) shown += (index ? "," : "") + std::to_string(after[index]);
    Report("ordered.order", shown);

    DLLVERSIONINFO version = {sizeof version};
    DLLGETVERSIONPROC getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("comctl32.dll"), "DllGetVersion")));
    if (getVersion) getVersion(&version);
    Report("comctl32", std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion));
    return 0;
}

// fewtitles TITLE LABEL: a recognised view first (the column goes to index 4),
// then a view of which only one of the first four titles is learned.
int FewTitles(const std::vector<std::string>& args) {
    if (args.size() < 2) return 2;
    RegisterClasses(false);
    Explorer known = CreateExplorer("CabinetWClass", args[0]);
    FillList(known.list, StandardColumns(), {args[1]});
    Focus(known.list);
    Report("known.columns", ColumnTitles(known.list));

    Explorer other = CreateExplorer("CabinetWClass", args[0]);
    FillList(other.list, {"Name", "Owner", "Rights", "Group", "Flags"}, {args[1]});
    Focus(other.list);
    Report("other.columns", ColumnTitles(other.list));
    Report("other.cell", CellTextA(other.list, 0, 4));
    ClickHeader(other.list, 4);
    Report("other.clicks", ClicksSeenByView(4));
    return 0;
}

// width TITLE LABEL: the width of a new column, then the width saved from an
// existing column and used by the next insertion.
int Width(const std::vector<std::string>& args) {
    if (args.size() < 2) return 2;
    RegisterClasses(false);
    Explorer first = CreateExplorer("CabinetWClass", args[0]);
    FillList(first.list, StandardColumns(), {args[1]});
    Focus(first.list);
    Report("first.columns", ColumnTitles(first.list));
    Report("first.width", ColumnWidth(first.list, 4));
    SendMessageA(first.list, LVM_SETCOLUMNWIDTH, 4, 123);
    Refocus(first);
    Report("first.columns.again", ColumnTitles(first.list));

    Explorer second = CreateExplorer("CabinetWClass", args[0]);
    FillList(second.list, StandardColumns(), {args[1]});
    Focus(second.list);
    Report("second.width", ColumnWidth(second.list, 4));
    return 0;
}

// ownname TITLE LABEL: "ColumnName" names one of the view's own columns.
int OwnName(const std::vector<std::string>& args) {
    if (args.size() < 2) return 2;
    RegisterClasses(false);
    Explorer explorer = CreateExplorer("CabinetWClass", args[0]);
    FillList(explorer.list, StandardColumns(), {args[1]});
    SendMessageA(explorer.list, LVM_SETCOLUMNWIDTH, 2, 77);
    Focus(explorer.list);
    Report("columns", ColumnTitles(explorer.list));
    Report("cell.2", CellTextA(explorer.list, 0, 2));
    Report("cell.1", CellTextA(explorer.list, 0, 1));
    ClickHeader(explorer.list, 2);
    Report("clicks.2", ClicksSeenByView(2));
    return 0;
}

// deactivate TITLE LABEL READY GO: a subclassed view outlives the hook. After READY
// is set the test removes the hook and sets GO; then the library is freed once, as
// Windows would drop it, and the view is used on.
int Deactivate(const std::vector<std::string>& args) {
    if (args.size() < 4) return 2;
    RegisterClasses(false);
    Explorer explorer = CreateExplorer("CabinetWClass", args[0]);
    FillList(explorer.list, StandardColumns(), {args[1]});
    Focus(explorer.list);
    Report("columns", ColumnTitles(explorer.list));
    Report("cell.before", CellTextA(explorer.list, 0, 4));

    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, args[2].c_str());
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, args[3].c_str());
    if (!ready || !go) return 3;
    SetEvent(ready);
    while (MsgWaitForMultipleObjects(1, &go, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) testsupport::PumpPendingMessages();

    HMODULE library = GetModuleHandleA("Tolvane.dll");
    Report("loaded.before", library ? 1 : 0);
    if (library) FreeLibrary(library);
    Report("loaded.after", GetModuleHandleA("Tolvane.dll") ? 1 : 0);

    Report("cell.after", CellTextA(explorer.list, 0, 4));
    Report("own.after", CellTextA(explorer.list, 0, 1));
    ClickHeader(explorer.list, 4);
    Report("clicks.4", ClicksSeenByView(4));
    Refocus(explorer);
    Report("columns.after", ColumnTitles(explorer.list));

    Explorer later = CreateExplorer("CabinetWClass", args[0]);
    FillList(later.list, StandardColumns(), {args[1]});
    Focus(later.list);
    Report("later.columns", ColumnTitles(later.list));
    Report("later.subclassed", SubclassedByTolvane(later.view) ? 1 : 0);
    DestroyWindow(later.frame);
    DestroyWindow(explorer.frame);
    testsupport::PumpPendingMessages();
    return 0;
}

// What Windows reports to this program of changes in a folder and in the
// settings, with watches of its own made as the column makes them.
class Reports {
public:
    explicit Reports(const std::string& folder) {
        folderChange_ = FindFirstChangeNotificationA(
            folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
        RegOpenKeyExA(HKEY_CURRENT_USER, contract::kVendorKey, 0, KEY_NOTIFY, &settings_);
        settingsEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~Reports() {
        FindCloseChangeNotification(folderChange_);
        RegCloseKey(settings_);
        CloseHandle(settingsEvent_);
    }
    bool Ready() const { return folderChange_ != INVALID_HANDLE_VALUE && settings_ && settingsEvent_; }
    // Forgets what was reported so far.
    void Renew() {
        while (WaitForSingleObject(folderChange_, 0) == WAIT_OBJECT_0) FindNextChangeNotification(folderChange_);
        ResetEvent(settingsEvent_);
        RegNotifyChangeKeyValue(settings_, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, settingsEvent_,
                                TRUE);
    }
    // Waits for a report of either.
    bool Wait() {
        HANDLE both[2] = {folderChange_, settingsEvent_};
        return WaitForMultipleObjects(2, both, FALSE, 10000) != WAIT_TIMEOUT;
    }

private:
    HANDLE folderChange_ = INVALID_HANDLE_VALUE;
    HKEY settings_ = nullptr;
    HANDLE settingsEvent_ = nullptr;
};

// fresh TITLE LABEL READY GO ROUNDS [FOLDER]: the cell is read; then, for each
// round, READY is set and the helper waits for GO while the test changes the
// folder's descriptions or the settings, and reads the cell again (cell.ROUND).
// Without FOLDER it first waits out the time the view may keep what it read
// where Windows reports nothing; with FOLDER it waits only until Windows has
// reported the change to this program too, and until the clock has moved on by
// a tick since the last cell (the column asks Windows at most once a tick), so
// that the cell is the first one painted after the report. Both events reset
// themselves.
int Fresh(const std::vector<std::string>& args) {
    if (args.size() < 5) return 2;
    RegisterClasses(false);
    Explorer explorer = CreateExplorer("CabinetWClass", args[0]);
    FillList(explorer.list, StandardColumns(), {args[1]});
    Focus(explorer.list);
    Report("columns", ColumnTitles(explorer.list));
    Report("cell.0", CellTextA(explorer.list, 0, 4));
    DWORD lastCell = GetTickCount();
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, args[2].c_str());
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, args[3].c_str());
    if (!ready || !go) return 3;
    int rounds = atoi(args[4].c_str());
    std::unique_ptr<Reports> reports;
    if (args.size() > 5) {
        reports.reset(new Reports(args[5]));
        if (!reports->Ready()) return 4;
    }
    for (int round = 1; round <= rounds; ++round) {
        if (reports) reports->Renew();
        SetEvent(ready);
        while (MsgWaitForMultipleObjects(1, &go, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) testsupport::PumpPendingMessages();
        if (!reports) {
            Sleep(300);  // past the bound of 250 ms
        } else {
            Report("reported." + std::to_string(round), reports->Wait() ? 1 : 0);
            while (GetTickCount() == lastCell) Sleep(1);
        }
        Report("cell." + std::to_string(round), CellTextA(explorer.list, 0, 4));
        lastCell = GetTickCount();
    }
    DestroyWindow(explorer.frame);
    return 0;
}

// The handles this process holds, counted one by one: Wine's
// GetProcessHandleCount reports none.
int HandleCount() {
    int count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

// many ROOT OPEN MOVES: folder windows of the folders ROOT\f0, ROOT\f1, ...,
// whose files describe report.txt as "In folder N". OPEN windows are open at
// once; then the first one moves through MOVES further folders; then all go.
// Reports the handles held at each step, whether every cell showed its own
// folder's description, and whether a change shows in the last window opened
// (past the few folders Windows watches for the column) after the bound.
int Many(const std::vector<std::string>& args) {
    if (args.size() < 3) return 2;
    RegisterClasses(false);
    std::string root = args[0];
    int open = atoi(args[1].c_str()), moves = atoi(args[2].c_str());
    auto folder = [&](int n) { return root + "\\f" + std::to_string(n); };
    auto expected = [](int n) { return "In folder " + std::to_string(n); };
    {  // What the first window of a process sets up once.
        Explorer first = CreateExplorer("CabinetWClass", folder(0));
        FillList(first.list, StandardColumns(), {"report.txt"});
        Focus(first.list);
        CellTextA(first.list, 0, 4);
        DestroyWindow(first.frame);
        testsupport::PumpPendingMessages();
    }
    Report("handles.before", HandleCount());
    std::vector<Explorer> windows;
    int shown = 0;
    for (int n = 0; n < open; ++n) {
        windows.push_back(CreateExplorer("CabinetWClass", folder(n)));
        FillList(windows.back().list, StandardColumns(), {"report.txt"});
        Focus(windows.back().list);
        shown += CellTextA(windows.back().list, 0, 4) == expected(n) ? 1 : 0;
    }
    Report("open.shown", shown);
    Report("handles.open", HandleCount());

    testsupport::WriteFileBytes(folder(open - 1) + "\\DESCRIPT.ION", "report.txt Changed\r\n");
    Sleep(300);  // past the bound of 250 ms
    Report("last.changed", CellTextA(windows.back().list, 0, 4));

    shown = 0;
    for (int n = open; n < open + moves; ++n) {
        SetWindowTextA(windows.front().frame, folder(n).c_str());
        shown += CellTextA(windows.front().list, 0, 4) == expected(n) ? 1 : 0;
    }
    Report("moves.shown", shown);
    Report("handles.moved", HandleCount());
    for (const Explorer& window : windows) DestroyWindow(window.frame);
    testsupport::PumpPendingMessages();
    Report("handles.closed", HandleCount());
    return 0;
}

// folders FIRST SECOND LABEL: two folder windows of one thread, each answered
// from its own folder; then the first window moves to the second folder, and
// its next cell, asked for at once, comes from there.
int Folders(const std::vector<std::string>& args) {
    if (args.size() < 3) return 2;
    RegisterClasses(false);
    Explorer first = CreateExplorer("CabinetWClass", args[0]);
    FillList(first.list, StandardColumns(), {args[2]});
    Focus(first.list);
    Explorer second = CreateExplorer("ExploreWClass", args[1]);
    FillList(second.list, StandardColumns(), {args[2]});
    Focus(second.list);
    for (int turn = 0; turn < 2; ++turn) {
        Report("first." + std::to_string(turn), CellTextA(first.list, 0, 4));
        Report("second." + std::to_string(turn), CellTextW(second.list, 0, 4));
    }
    SetWindowTextA(first.frame, args[1].c_str());
    Report("moved", CellTextA(first.list, 0, 4));
    DestroyWindow(second.frame);
    Report("first.after", CellTextA(first.list, 0, 4));
    DestroyWindow(first.frame);
    return 0;
}

// dialoghost TITLE LABEL: shell views in "#32770" windows. A titled popup hosts
// them like the open dialog does; one without a title, or without WS_POPUP and
// DS_MODALFRAME, is no host.
int DialogHost(const std::vector<std::string>& args) {
    if (args.size() < 2) return 2;
    RegisterClasses(false);
    struct Host {
        const char* name;
        const char* title;
        DWORD style;
    } hosts[] = {
        {"popup", args[0].c_str(), WS_POPUP | WS_CAPTION | WS_VISIBLE},
        {"modal", args[0].c_str(), WS_OVERLAPPED | DS_MODALFRAME | WS_CAPTION | WS_VISIBLE},
        {"untitled", "", WS_POPUP | WS_VISIBLE},
        {"overlapped", args[0].c_str(), WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE},
    };
    for (const Host& host : hosts) {
        std::string name = host.name;
        Explorer dialog = CreateExplorer("#32770", host.title, host.style);
        FillList(dialog.list, StandardColumns(), {args[1]});
        Focus(dialog.list);
        Report(name + ".subclassed", SubclassedByTolvane(dialog.view) ? 1 : 0);
        Report(name + ".columns", ColumnTitles(dialog.list));
        Report(name + ".cell", CellTextA(dialog.list, 0, 4));
        ClickHeader(dialog.list, 4);
        Report(name + ".clicks", ClicksSeenByView(4));
        DestroyWindow(dialog.frame);
    }
    return 0;
}

// dialog FOLDER [LABEL]: the standard open dialog shows FOLDER, titled with its
// path. Without LABEL only the titles of its list view's columns are reported.
struct DialogRun {
    std::string label;
};
DialogRun g_dialog;

void InspectDialog(HWND dialog) {
    HWND view = FindWindowExA(dialog, nullptr, "SHELLDLL_DefView", nullptr);
    HWND list = view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
    Report("dialog.found", list ? 1 : 0);
    if (!list) return;
    Report("dialog.class", testsupport::ClassName(dialog));
    for (int column = 0; column < 4; ++column) Report("title." + std::to_string(column), ColumnTitle(list, column));
    if (g_dialog.label.empty()) return;

    Report("subclassed", SubclassedByTolvane(view) ? 1 : 0);
    int before = ColumnCount(list);
    Report("count.before", before);
    SetFocus(list);
    Report("count.after", ColumnCount(list));
    Report("title.new", ColumnTitle(list, before));
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        if (CellTextA(list, row, 0).find(g_dialog.label) != 0) continue;
        Report("row", row);
        Report("cell", CellTextA(list, row, before));
        Report("cell.W", CellTextW(list, row, before));
    }
}

UINT_PTR CALLBACK DialogHook(HWND hookDialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetTimer(hookDialog, 1, 300, nullptr);
    if (message == WM_TIMER && wParam == 1) {
        KillTimer(hookDialog, 1);
        HWND dialog = GetParent(hookDialog);
        InspectDialog(dialog);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    return 0;
}

int Dialog(const std::vector<std::string>& args) {
    if (args.empty()) return 2;
    if (args.size() > 1) g_dialog.label = args[1];
    char file[MAX_PATH] = {};
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof open;
    open.lpstrFile = file;
    open.nMaxFile = sizeof file;
    open.lpstrInitialDir = args[0].c_str();
    open.lpstrTitle = args[0].c_str();
    open.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_FILEMUSTEXIST;
    open.lpfnHook = DialogHook;
    BOOL chosen = GetOpenFileNameA(&open);
    Report("dialog.result", chosen ? 1 : 0);
    Report("dialog.error", static_cast<int>(CommDlgExtendedError()));
    return 0;
}

// chain LIBRARY: the hook handle that the library passes to CallNextHookEx in this
// process, which the hook reaches but did not install, seen through the library's
// import of CallNextHookEx. The library is loaded here first, so that the import is
// watched before the hook first runs here (the system then uses the loaded library).
typedef LRESULT(WINAPI* CallNextHookExFunction)(HHOOK, int, WPARAM, LPARAM);
CallNextHookExFunction g_callNextHook = nullptr;
HHOOK g_nextHookHandle = nullptr;
int g_nextHookCalls = 0;

LRESULT WINAPI WatchCallNextHook(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    g_nextHookHandle = hook;
    ++g_nextHookCalls;
    return g_callNextHook(hook, code, wParam, lParam);
}

void ReportNextHook(const std::string& name) {
    g_nextHookHandle = nullptr;
    g_nextHookCalls = 0;
    DestroyWindow(CreateWindowExA(0, "STATIC", "chain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    Report(name + ".calls", g_nextHookCalls);
    Report(name + ".handle", std::to_string(reinterpret_cast<ULONG_PTR>(g_nextHookHandle)));
}

int Chain(const std::vector<std::string>& args) {
    if (args.empty()) return 2;
    HMODULE library = LoadLibraryA(args[0].c_str());
    if (!library) return 1;
    g_callNextHook = reinterpret_cast<CallNextHookExFunction>(
        PatchImport(library, "user32.dll", "CallNextHookEx", reinterpret_cast<void*>(WatchCallNextHook)));
    Report("watched", g_callNextHook ? 1 : 0);
    if (!g_callNextHook) return 1;
    ReportNextHook("first");
    // This process installed no hook: its removal fails and leaves the handle alone.
    auto deactivate = reinterpret_cast<int (*)(void)>(
        reinterpret_cast<void*>(GetProcAddress(library, "DeactivateExplorerHook")));
    Report("deactivate", deactivate ? deactivate() : -1);
    ReportNextHook("after");
    PatchImport(library, "user32.dll", "CallNextHookEx", reinterpret_cast<void*>(g_callNextHook));
    return 0;
}

// A crash ends the process at once, with a mark in the report, instead of
// waiting for a debugger.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* exception) {
    char code[32];
    wsprintfA(code, "%08lx", exception->ExceptionRecord->ExceptionCode);
    Report("crash", code);
    fclose(g_report);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    g_report = fopen(argv[2], "w");
    if (!g_report) return 2;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(EndOnCrash);
    std::string scenario = argv[1];
    std::vector<std::string> args(argv + 3, argv + argc);
    int result = 2;
    if (scenario == "cells") result = Cells(args);
    else if (scenario == "widecells") result = WideCells(args);
    else if (scenario == "navigate") result = Navigate(args);
    else if (scenario == "layouts") result = Layouts(args);
    else if (scenario == "fewtitles") result = FewTitles(args);
    else if (scenario == "width") result = Width(args);
    else if (scenario == "ownname") result = OwnName(args);
    else if (scenario == "deactivate") result = Deactivate(args);
    else if (scenario == "dialog") result = Dialog(args);
    else if (scenario == "dialoghost") result = DialogHost(args);
    else if (scenario == "fresh") result = Fresh(args);
    else if (scenario == "many") result = Many(args);
    else if (scenario == "folders") result = Folders(args);
    else if (scenario == "chain") result = Chain(args);
    Report("end", 1);
    fclose(g_report);
    return result;
}

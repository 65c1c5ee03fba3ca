// The whole system as a user meets it after installing: a folder window, Tolvard
// started for the first time (its wizard answered), the description column, the
// context-menu entry with its edit dialog, and the "Description" property page.
#include "DemoSteps.h"

#include <commctrl.h>

#include "ExplorerShape.h"
#include "FileMenu.h"
#include "FolderWindow.h"
#include "ScreenShots.h"
#include "ShellextTestSupport.h"
#include "TestContract.h"
#include "TolvardProcess.h"

namespace demo {

namespace {

using contract::kExplorerKey;
const int kDescriptionField = 1001;   // the edit dialog's and the page's description field
const char kEditDialogTitle[] = "Notavell";

// The row to show the menu and the page for: a described file with a blank in its
// name (the kind DESCRIPT.ION keeps in quotes), else any described file.
int RowToShow(const FolderWindow& window, int column) {
    int described = -1;
    for (int row = 0; row < window.Rows(); ++row) {
        if (explorershape::CellTextA(window.List(), row, column).empty()) continue;
        if (window.Name(row).find(' ') != std::string::npos) return row;
        if (described < 0) described = row;
    }
    return described < 0 ? 0 : described;
}

// While TrackPopupMenu runs its own loop, a timer takes the shot and closes the menu.
shots::ScreenShots* g_menuShots = nullptr;
void CALLBACK MenuShotTick(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    if (g_menuShots) g_menuShots->Take("menu");
    EndMenu();
}

class Desktop {
public:
    explicit Desktop(const std::string& shotFolder) : shots_(shotFolder) {}
    int Run(const std::string& folder);

private:
    void Check(bool ok, const char* what) {
        if (!ok) failed_.push_back(what);
    }
    bool StartTolvard();
    bool ShowColumn();
    void ShowMenuAndDialog(int row);
    void ShowPropertyPage(int row);
    void LeaveToTheUser();

    shots::ScreenShots shots_;
    FolderWindow window_;
    TolvardProcess tolvard_;
    FileMenu* menu_ = nullptr;
    int descriptionColumn_ = -1;
    std::vector<std::string> failed_;
};

bool Desktop::StartTolvard() {
    std::string program = TolvardProcess::InstalledPath();
    if (program.empty()) {
        Say("Tolvane is not installed: no InstallLocation under HKLM\\...\\Uninstall\\Tolvane");
        return false;
    }
    if (!tolvard_.Start(program)) {
        Say("could not start %s", program.c_str());
        return false;
    }
    Say("started the installed %s (no Explorer texts stored yet: the wizard will ask)", program.c_str());
    std::string confirmed;
    bool started = tolvard_.AnswerStartUp(
        [this](const char* page) { shots_.Take((std::string("wizard-") + page).c_str()); }, &confirmed);
    if (!started) return false;
    char title[MAX_PATH] = "";
    GetWindowTextA(window_.Frame(), title, sizeof title);
    Check(confirmed == title, "the wizard's confirmation page (not this window's caption)");
    Say("  Tolvard's hidden frame: FindWindowA(NULL, \"Tolvard\") = %p", static_cast<void*>(tolvard_.Frame()));
    Say("  what the wizard stored under HKCU\\%s:", kExplorerKey);
    for (const char* value : {"ExplorerTitlePrefix", "ExplorerName", "ExplorerSize", "ExplorerType", "ExplorerModified"})
        Say("    %-20s %s", value, RegistryText(HKEY_CURRENT_USER, kExplorerKey, value).c_str());
    return true;
}

bool Desktop::ShowColumn() {
    bool hooked = ColumnHookReachesThisProcess(15000);
    Say("Tolvard's column hook has mapped Tolvane.dll into this process: %s", hooked ? "yes" : "no");
    Say("its 32-bit companion TolvardHook.exe, the hook for 32-bit programs: %s",
        CompanionRunning() ? "running" : "not running (Tolvard cannot start it where the machine runs no 32-bit code)");
    if (!hooked) {
        tolvard_.SayVisibleWindows();
        return false;
    }
    // The window was opened before the hook ran; shown anew, its view is one the hook watches.
    window_.ShowAgain();
    Say("the folder shown anew (a new shell view and list view, as Explorer makes when it moves to a folder)");
    SetFocus(window_.List());
    PumpMessages(500);
    HWND list = window_.List();
    Say("  columns after the list view got the focus: %s", explorershape::ColumnTitles(list).c_str());
    descriptionColumn_ = explorershape::ColumnCount(list) - 1;
    // Each cell must say what the library's own GetDescription says for the file.
    typedef int (*GetDescriptionFunction)(char* description, const char* path);
    auto getDescription = reinterpret_cast<GetDescriptionFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("Tolvane.dll"), "GetDescription")));
    int described = 0, differing = 0;
    for (int row = 0; row < window_.Rows(); ++row) {
        std::string text = explorershape::CellTextA(list, row, descriptionColumn_);
        char stored[2048] = "";
        if (getDescription) getDescription(stored, window_.Path(row).c_str());
        bool same = getDescription && text == stored;
        Say("    %-28s %s%s", window_.Name(row).c_str(), text.empty() ? "(none)" : text.c_str(),
            same ? "" : ("   <- GetDescription: \"" + std::string(stored) + "\"").c_str());
        if (!text.empty()) ++described;
        if (!same) ++differing;
    }
    shots_.Take("column");
    return descriptionColumn_ == 4 && explorershape::ColumnTitle(list, 4) == "Description" && described > 0 &&
           differing == 0;
}

void Desktop::ShowMenuAndDialog(int row) {
    POINT at = window_.SelectRow(row);
    Say("right click on \"%s\":", window_.Name(row).c_str());
    if (!menu_->Build(window_.Path(row))) {
        Check(false, "the context menu (Wine's shell made none)");
        return;
    }
    for (const std::string& note : menu_->HandlerNotes()) Say("  handler %s", note.c_str());
    Say("  the menu: %s", menu_->Entries().c_str());
    UINT entry = menu_->HandlerCommand(contract::kClassIdText);
    Check(entry != 0, "the context-menu entry");

    g_menuShots = &shots_;
    SetTimer(window_.Frame(), 1, 500, MenuShotTick);
    menu_->Track(window_.Frame(), at);
    g_menuShots = nullptr;
    if (!entry) return;

    Say("  our entry picked: InvokeCommand opens the edit dialog");
    std::string field;
    bool shown = testsupport::DriveModalWindow(
        TOOL_HERE, kEditDialogTitle, [&] { menu_->Invoke(window_.Frame(), entry); },
        [&](HWND dialog) {
            field = shellext::WindowText(GetDlgItem(dialog, kDescriptionField));
            shots_.Take("dialog");
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        },
        60000);
    Say("  dialog \"%s\" %s; its description field: \"%s\"; closed with Cancel", kEditDialogTitle,
        shown ? "shown" : "NOT shown", field.c_str());
    Check(shown && field == explorershape::CellTextA(window_.List(), row, descriptionColumn_), "the edit dialog");
}

void Desktop::ShowPropertyPage(int row) {
    std::string title = "Properties for " + window_.Name(row);
    std::string pages, field;
    bool shown = testsupport::DriveModalWindow(
        TOOL_HERE, title, [&] { menu_->InvokeShellVerb(window_.Frame(), "properties"); },
        [&](HWND sheet) {
            std::vector<std::string> titles = shellext::TabTitles(sheet);
            for (size_t index = 0; index < titles.size(); ++index) {
                pages += (index ? " | " : "") + titles[index];
                if (titles[index] != "Description") continue;
                PropSheet_SetCurSel(sheet, nullptr, static_cast<int>(index));
                field = shellext::WindowText(GetDlgItem(PropSheet_GetCurrentPageHwnd(sheet), kDescriptionField));
                shots_.Take("page");
            }
            PropSheet_PressButton(sheet, PSBTN_CANCEL);
        },
        60000);
    Say("the \"properties\" verb of the shell's menu: dialog \"%s\" %s", title.c_str(), shown ? "shown" : "NOT shown");
    Say("  its pages: %s", pages.c_str());
    Say("  the \"Description\" page's field: \"%s\"; closed with Cancel", field.c_str());
    Check(shown && !field.empty() && field == explorershape::CellTextA(window_.List(), row, descriptionColumn_),
          "the property page");
}

void Desktop::LeaveToTheUser() {
    window_.OnContextMenu([this](int row, POINT at) {
        FileMenu menu;
        if (!menu.Build(window_.Path(row))) return;
        Say("right click on \"%s\": %s", window_.Name(row).c_str(), menu.Entries().c_str());
        UINT command = menu.Track(window_.Frame(), at);
        if (!command) return;
        menu.Invoke(window_.Frame(), command);
        // Explorer shows the folder anew when a file in it changed (DESCRIPT.ION here).
        InvalidateRect(window_.List(), nullptr, TRUE);
    });
    Say("over to you, on the Wine desktop:");
    Say("  - right-click a file in the window: our entry shows its description; pick it to edit it;");
    Say("  - Properties in that menu: the \"Description\" page;");
    Say("  - Tolvard's icon in the taskbar: its menu switches the three features;");
    Say("  - close the folder window to end the demo.");
    while (window_.IsOpen()) PumpMessages(200);
}

int Desktop::Run(const std::string& folder) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    if (!window_.Open(folder)) {
        Say("could not open a folder window with the files of %s", folder.c_str());
        return 1;
    }
    Say("opened \"Exploring - %s\" (ExploreWClass > SHELLDLL_DefView > SysListView32, details view) in a %d-bit "
        "process, as Explorer is on %d-bit Windows",
        folder.c_str(), static_cast<int>(sizeof(void*) * 8), static_cast<int>(sizeof(void*) * 8));
    Say("  columns: %s; %d files", explorershape::ColumnTitles(window_.List()).c_str(), window_.Rows());
    PumpMessages(300);

    bool started = StartTolvard();
    Check(started, "Tolvard's start and wizard");
    if (started) Check(ShowColumn(), "the description column");
    if (started && descriptionColumn_ >= 0) {
        FileMenu menu;
        menu_ = &menu;
        int row = RowToShow(window_, descriptionColumn_);
        ShowMenuAndDialog(row);
        ShowPropertyPage(row);
        if (!shots_.Enabled()) LeaveToTheUser();
        menu_ = nullptr;
    }
    for (const std::string& shot : shots_.Missing()) failed_.push_back("screenshot " + shot);
    if (window_.IsOpen()) DestroyWindow(window_.Frame());
    if (tolvard_.Started()) {
        bool ended = tolvard_.Exit();
        Say("Exit (ID_APP_EXIT to Tolvard's frame): Tolvard %s", ended ? "ended" : "did NOT end");
        Check(ended, "Tolvard's Exit");
    }
    if (failed_.empty()) return 0;
    std::string list;
    for (const std::string& what : failed_) list += (list.empty() ? "" : ", ") + what;
    Say("failed: %s", list.c_str());
    return 1;
}

}  // namespace

int DesktopStep(const std::string& folder, const std::string& shotFolder) {
    shellext::Apartment apartment;
    Desktop desktop(shotFolder);
    return desktop.Run(folder);
}

}  // namespace demo

// Shows an Explorer-shaped folder window in details view with the description
// column filled, for the README's picture: makes a sample folder with a
// DESCRIPT.ION, stores the learned Explorer texts, installs the hook from the
// built Tolvane.dll; asks scripts/screenshots for its picture once the column is
// there and ends, or, started by hand, runs until it is ended.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ExplorerShape.h"
#include "LearnedTitles.h"
#include "TestContract.h"
#include "ScreenShots.h"
#include "TestSupport.h"

using namespace explorershape;

int main() {
    // Join the Wine desktop that scripts/screenshots opens, when there is one:
    // windows of the default desktop may end up behind it.
    HDESK desktop = OpenDesktopA("shots", 0, FALSE, GENERIC_ALL);
    if (desktop) SetThreadDesktop(desktop);

    const char folder[] = "C:\\Projects\\Harbour survey";
    CreateDirectoryA("C:\\Projects", nullptr);
    CreateDirectoryA(folder, nullptr);
    struct Row {
        const char* name;
        const char* size;
        const char* type;
        const char* modified;
        const char* description;
    } rows[] = {
        {"budget.xls", "48KB", "Microsoft Excel Worksheet", "03.02.2003 09:14", "Budget 2003, second draft"},
        {"crew.txt", "2KB", "Text Document", "28.01.2003 17:40", "Who is aboard on which day"},
        {"depths.csv", "312KB", "CSV File", "12.02.2003 11:02", "Soundings of the north basin"},
        {"minutes.doc", "36KB", "Microsoft Word Document", "14.02.2003 16:25", "Minutes of the kick-off meeting"},
        {"north pier.bmp", "1,204KB", "Bitmap Image", "10.02.2003 08:51", "Photo of the north pier at low tide"},
        {"readme.txt", "1KB", "Text Document", "27.01.2003 10:00", ""},
        {"report.doc", "88KB", "Microsoft Word Document", "17.02.2003 13:37", "Monthly report for the harbour board"},
    };
    std::string lines;
    for (const Row& row : rows) {
        std::string name = row.name;
        if (name.find(' ') != std::string::npos) name = "\"" + name + "\"";
        if (row.description[0]) lines += name + " " + row.description + "\r\n";
        testsupport::WriteFileBytes(std::string(folder) + "\\" + row.name, "sample");
    }
    testsupport::WriteFileBytes(std::string(folder) + "\\DESCRIPT.ION", lines);
    SetFileAttributesA((std::string(folder) + "\\DESCRIPT.ION").c_str(), FILE_ATTRIBUTE_HIDDEN);

    testsupport::LearnedTitles::Store({"Name", "Size", "Type", "Modified"}, "\"Exploring - \"");
    testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kColumnWidth, "260", false);

    HMODULE library = LoadLibraryA(testsupport::DistFile("Tolvane.dll").c_str());
    if (!library) return 1;
    auto activate = reinterpret_cast<int (*)(void)>(
        reinterpret_cast<void*>(GetProcAddress(library, "ActivateExplorerHook")));
    if (!activate || !activate()) return 1;

    RegisterClasses(false);
    Explorer explorer = CreateExplorer("ExploreWClass", std::string("Exploring - ") + folder);
    MoveWindow(explorer.frame, 10, 10, 900, 300, TRUE);
    std::vector<std::string> labels;
    for (const Row& row : rows) labels.push_back(row.name);
    FillList(explorer.list, StandardColumns(), labels);
    for (size_t index = 0; index < labels.size(); ++index) {
        SetCell(explorer.list, static_cast<int>(index), 1, rows[index].size);
        SetCell(explorer.list, static_cast<int>(index), 2, rows[index].type);
        SetCell(explorer.list, static_cast<int>(index), 3, rows[index].modified);
    }
    SendMessageA(explorer.list, LVM_SETCOLUMNWIDTH, 0, 110);
    SendMessageA(explorer.list, LVM_SETCOLUMNWIDTH, 1, 60);
    SendMessageA(explorer.list, LVM_SETCOLUMNWIDTH, 2, 170);
    SendMessageA(explorer.list, LVM_SETCOLUMNWIDTH, 3, 110);
    SetForegroundWindow(explorer.frame);
    SetFocus(explorer.list);

    if (shots::Wanted()) {
        // The hook appends the column once the list view has the focus.
        for (DWORD start = GetTickCount(); ColumnCount(explorer.list) < 5 && GetTickCount() - start < 10000;)
            testsupport::PumpMessages(100);
        return ColumnCount(explorer.list) == 5 && shots::TakeWanted() ? 0 : 1;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

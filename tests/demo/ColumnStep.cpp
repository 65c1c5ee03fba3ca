// The Explorer column across two processes, as on a desktop: this process installs
// the system-wide hook from Tolvane.dll; a second one (column-window) builds a
// folder window shaped like Explorer's, where the system loads the library, and
// writes what its list view shows into a report that this process prints.
#include "DemoSteps.h"

#include <commctrl.h>

#include <fstream>

#include "ExplorerShape.h"
#include "TestSupport.h"

using namespace explorershape;

namespace demo {

namespace {

const char kExplorerKey[] = "SOFTWARE\\Varnoke\\Tolvard\\Explorer";
const char kTitlePrefix[] = "Exploring - ";

// What Tolvard's wizard would have learned from an English Explorer.
void StoreExplorerTexts() {
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerTitlePrefix",
                              std::string("\"") + kTitlePrefix + "\"");
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerName", "Name", false);
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerSize", "Size", false);
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerType", "Type", false);
    testsupport::SetRegString(HKEY_CURRENT_USER, kExplorerKey, "ExplorerModified", "Modified", false);
}

typedef int (*HookFunction)(void);

}  // namespace

int ColumnStep(const std::vector<std::string>& args) {
    if (args.size() < 2) return 2;
    const std::string& folder = args[0];
    StoreExplorerTexts();
    std::string prefix;
    testsupport::ReadRegValue(HKEY_CURRENT_USER, kExplorerKey, "ExplorerTitlePrefix", &prefix);
    Say("stored Explorer's texts as Tolvard's wizard learns them:");
    Say("  ExplorerTitlePrefix %s (in its quotes), column titles Name, Size, Type, Modified", prefix.c_str());

    std::string libraryPath = FullPath(testsupport::DistFile("Tolvane.dll"));
    HMODULE library = LoadLibraryA(libraryPath.c_str());
    HookFunction activate = library ? reinterpret_cast<HookFunction>(reinterpret_cast<void*>(
                                          GetProcAddress(library, "ActivateExplorerHook")))
                                    : nullptr;
    HookFunction deactivate = library ? reinterpret_cast<HookFunction>(reinterpret_cast<void*>(
                                            GetProcAddress(library, "DeactivateExplorerHook")))
                                      : nullptr;
    if (!activate || !deactivate) {
        Say("could not load %s", libraryPath.c_str());
        return 1;
    }
    int activated = activate();
    Say("this process (pid %lu): ActivateExplorerHook() -> %d (a system-wide CBT hook)", GetCurrentProcessId(),
        activated);
    if (activated != 1) return 1;

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string report = std::string(temp) + "tolvane-demo-column-" + std::to_string(GetCurrentProcessId()) + ".txt";
    DeleteFileA(report.c_str());
    std::string command = testsupport::QuoteArgument(FullPath(testsupport::BinFile("tolvane_demo.exe"))) + " column-window " +
                          testsupport::QuoteArgument(report) + " " + testsupport::QuoteArgument(kTitlePrefix + folder);
    for (size_t index = 1; index < args.size(); ++index) command += " " + testsupport::QuoteArgument(args[index]);
    HANDLE process = testsupport::StartProcess(command);
    bool ended = process && testsupport::PumpUntilSignalled(process, 60000);
    if (process && !ended) TerminateProcess(process, 99);
    if (process) CloseHandle(process);

    bool complete = false;
    std::ifstream in(report);
    std::string line;
    while (std::getline(in, line)) {
        if (line == "end") complete = true;
        else Say("%s", line.c_str());
    }
    in.close();
    DeleteFileA(report.c_str());
    if (!complete) Say("the second process %s", ended ? "ended early" : "did not end within 60 s");

    Say("this process: DeactivateExplorerHook() -> %d", deactivate());
    FreeLibrary(library);
    testsupport::DeleteRegTree(HKEY_CURRENT_USER, kExplorerKey);
    return complete ? 0 : 1;
}

int ColumnWindow(const std::vector<std::string>& args) {
    if (args.size() < 3) return 2;
    FILE* report = fopen(args[0].c_str(), "w");
    if (!report) return 2;
    auto say = [report](const std::string& line) {
        fprintf(report, "%s\n", line.c_str());
        fflush(report);
    };
    const std::string& title = args[1];
    std::vector<std::string> labels(args.begin() + 2, args.end());

    RegisterClasses(false);
    Explorer explorer = CreateExplorer("ExploreWClass", title);
    FillList(explorer.list, StandardColumns(), labels);
    say("second process (pid " + std::to_string(GetCurrentProcessId()) + "): window \"" + title + "\"");
    say("  ExploreWClass > SHELLDLL_DefView > SysListView32 (report view), " + std::to_string(labels.size()) +
        " rows");
    say(std::string("  Tolvane.dll loaded here by the hook: ") + (GetModuleHandleA("Tolvane.dll") ? "yes" : "no") +
        ", shell view subclassed: " + (SubclassedByTolvane(explorer.view) ? "yes" : "no"));
    say("  columns before the list gets the focus: " + ColumnTitles(explorer.list));
    SetFocus(explorer.list);
    Pump();
    say("  columns after:                          " + ColumnTitles(explorer.list));
    int column = ColumnCount(explorer.list) - 1;
    say("  the rows, read back with LVM_GETITEMTEXTA (Name, then column " + std::to_string(column) + " \"" +
        ColumnTitle(explorer.list, column) + "\"):");
    for (size_t row = 0; row < labels.size(); ++row) {
        std::string name = CellTextA(explorer.list, static_cast<int>(row), 0);
        std::string description = CellTextA(explorer.list, static_cast<int>(row), column);
        char line[600];
        wsprintfA(line, "    %-14s %s", name.c_str(), description.empty() ? "(empty)" : description.c_str());
        say(line);
    }
    DestroyWindow(explorer.frame);
    say("end");
    fclose(report);
    return 0;
}

}  // namespace demo

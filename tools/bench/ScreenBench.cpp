// The cost of one screen of the description column: a details view of 40
// visible rows whose description cells are all asked for (LVM_GETITEMTEXTA, so
// the list view asks its parent, which the hook answers), for description files
// of 10, 1,000 and 10,000 entries. Side by side, medians of one run:
//
//   plain read     reading the file into a ready buffer and counting its lines,
//                  after a pause as long as the one below, and warm (at once
//                  after other reads of the file): under Wine the first file
//                  access after a pause costs about twice a warm one
//   after bound    the screen painted after a pause longer than the cache keeps
//                  what it read: the first cell reads the settings and the file
//                  again
//   within bound   the same screen painted again at once
//   per cell       the way each cell was answered before the cache, replayed
//                  here: for every row the list view's request, the details
//                  test's four column queries, the folder window's title, the
//                  row's label and a Load, Lookup and Close of the file
//                  (checked once against the library as it was before: its
//                  screens cost the same within about a third)
//
//   columnhook_screen_bench [ROUNDS]   (default 15)
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ExplorerShape.h"
#include "LearnedTitles.h"
#include "TestContract.h"
#include "TestSupport.h"
#include "store/DescriptionFile.h"
#include "BenchSupport.h"

using namespace explorershape;

namespace {

const int kRows = 40;
const int kColumn = 4;          // the description column, behind the four standard ones
const DWORD kStaleAfterMs = 250;  // longer than the cache keeps what it read

void PaintScreen(HWND list) {
    char text[260];
    for (int row = 0; row < kRows; ++row) {
        LVITEMA item = {};
        item.iSubItem = kColumn;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
}

// One cell the way the hook answered it before it kept anything.
void OldCell(const Explorer& explorer, int row, const std::string& folder) {
    char text[260];
    LVITEMA item = {};
    item.iSubItem = 1;  // a request that takes the same road to the view
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(explorer.list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    for (int index = 0; index < 4; ++index) {
        char title[260] = "(none)";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        SendMessageA(explorer.list, LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
    }
    char title[260];
    GetWindowTextA(explorer.frame, title, sizeof title);
    char label[260] = {};
    LVITEMA labelItem = {};
    labelItem.pszText = label;
    labelItem.cchTextMax = sizeof label;
    SendMessageA(explorer.list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&labelItem));
    std::string path = std::string(title) + "\\" + label;
    CDescriptionFile file;
    file.Load((folder + "\\").c_str());
    lstrcpynA(text, file.Lookup(path.c_str()), sizeof text);
    file.Close();
}

struct Timings {
    double pausedPlain, after, warmPlain, within, perCell;
};

bool Measure(int entries, int rounds, Timings* timings) {
    testsupport::TempFolder folder;
    std::string ion = bench::WriteSampleDescriptions(folder, entries);

    // Forty rows spread over the file; with fewer entries, the rows behind them
    // are files without a description.
    std::vector<std::string> labels;
    for (int row = 0; row < kRows; ++row) {
        char name[32];
        wsprintfA(name, "file%05d.txt", entries >= kRows ? row * (entries / kRows) : row);
        labels.push_back(name);
    }
    Explorer explorer = CreateExplorer("CabinetWClass", folder.Path());
    FillList(explorer.list, StandardColumns(), labels);
    SetFocus(explorer.list);
    testsupport::PumpPendingMessages();
    bool ok = ColumnTitle(explorer.list, kColumn) == "Description" && bench::PlainRead(ion) == static_cast<size_t>(entries);
    for (int row = 0; ok && row < kRows; ++row) {
        bool described = entries >= kRows || row < entries;
        ok = (CellTextA(explorer.list, row, kColumn).find("Description of file") == 0) == described;
    }
    if (!ok) {
        printf("the %d-entry view does not show its descriptions\n", entries);
        DestroyWindow(explorer.frame);
        return false;
    }

    std::vector<double> pausedPlain, plain, after, within, perCell;
    for (int round = 0; round < rounds; ++round) {
        Sleep(kStaleAfterMs);
        double paused = bench::Now();
        bench::PlainRead(ion);
        pausedPlain.push_back(bench::Now() - paused);
        Sleep(kStaleAfterMs);
        double t0 = bench::Now();
        PaintScreen(explorer.list);
        double t1 = bench::Now();
        PaintScreen(explorer.list);
        double t2 = bench::Now();
        bench::PlainRead(ion);
        double t3 = bench::Now();
        for (int row = 0; row < kRows; ++row) OldCell(explorer, row, folder.Path());
        double t4 = bench::Now();
        after.push_back(t1 - t0);
        within.push_back(t2 - t1);
        plain.push_back(t3 - t2);
        perCell.push_back(t4 - t3);
    }
    timings->pausedPlain = bench::Median(pausedPlain);
    timings->warmPlain = bench::Median(plain);
    timings->after = bench::Median(after);
    timings->within = bench::Median(within);
    timings->perCell = bench::Median(perCell);
    DestroyWindow(explorer.frame);
    testsupport::PumpPendingMessages();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? atoi(argv[1]) : 15;
    if (rounds < 1) return 2;
    testsupport::CleanSettings settings;
    testsupport::LearnedTitles::Store({"Name", "Size", "Type", "Modified"});
    // As the options dialog leaves it: the settings key exists and holds Ansi.
    testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kAnsi, "1");

    HMODULE library = LoadLibraryA(testsupport::DistFile("Tolvane.dll").c_str());
    if (!library) return 1;
    auto activate = bench::Export<int (*)(void)>(library, "ActivateExplorerHook");
    auto deactivate = bench::Export<int (*)(void)>(library, "DeactivateExplorerHook");
    if (!activate || !deactivate || !activate()) return 1;
    RegisterClasses(false);

    printf("%d-bit build: a screen of %d description cells, medians of %d rounds in microseconds\n",
           static_cast<int>(sizeof(void*) * 8), kRows, rounds);
    printf("%8s %12s %12s %7s %12s %12s %7s %12s %7s\n", "", "plain read", "", "", "plain read", "", "", "",
           "");
    printf("%8s %12s %12s %7s %12s %12s %7s %12s %7s\n", "entries", "after pause", "after bound", "ratio",
           "warm", "within bound", "ratio", "per cell", "ratio");
    int status = 0;
    for (int entries : {10, 1000, 10000}) {
        Timings t;
        if (!Measure(entries, rounds, &t)) {
            status = 1;
            continue;
        }
        printf("%8d %12.1f %12.1f %6.2fx %12.1f %12.1f %6.2fx %12.1f %6.1fx\n", entries, t.pausedPlain, t.after,
               t.after / t.pausedPlain, t.warmPlain, t.within, t.within / t.warmPlain, t.perCell,
               t.perCell / t.warmPlain);
    }
    deactivate();
    return status;
}

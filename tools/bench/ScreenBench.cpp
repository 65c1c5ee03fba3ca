// The cost of one screen of the description column: a details view of 40
// visible rows whose description cells are all asked for (LVM_GETITEMTEXTA, so
// the list view asks its parent, which the hook answers), for description files
// of 10, 1,000, 10,000 and 100,000 entries. Every figure is set against one
// plain read of the same file: one ReadFile into a buffer made beforehand,
// counting its lines. Side by side, medians of one run, each round taking all
// of them in turn so that a busy machine slows them alike:
//
//   plain read     after a pause as long as the one below (under Wine the
//                  first file access after a pause costs about twice a warm
//                  one), and warm (at once after other reads of the file)
//   unchanged      the screen painted 1.2 s after the last one, the file as it
//                  was: the view asks Windows whether the folder changed (or,
//                  where Windows cannot tell, reads the settings and the file
//                  again)
//   at once        the same screen painted again at once
//   changed        the screen painted 1.2 s after another writer changed one
//                  letter of a shown description in place (same size): the
//                  file is read again, what changed found and the cells
//                  answered; the bench checks that the screen shows the change
//   per cell       the way each cell was answered before the view kept what it
//                  read, replayed here: for every row the list view's request,
//                  the details test's four column queries, the folder window's
//                  title, the row's label and a Load, Lookup and Close of the
//                  file
//
//   columnhook_screen_bench [ROUNDS]   (default 15)
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ExplorerShape.h"
#include "LearnedTitles.h"
#include "TestContract.h"
#include "TestSupport.h"
#include "store/DescriptionFile.h"

using namespace explorershape;

namespace {

const int kRows = 40;
const int kColumn = 4;         // the description column, behind the four standard ones
const int kChangedRow = 20;    // the row whose description another writer changes
const DWORD kPauseMs = 1200;   // between two screens, as a user reads one

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

// Overwrites one byte of the file in place, as an editor that keeps the file's
// size would; the file's time stamp moves on as the system sets it.
bool WriteByteAt(const std::string& path, DWORD offset, char byte) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool done = SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == offset &&
                WriteFile(file, &byte, 1, &written, nullptr) && written == 1;
    CloseHandle(file);
    return done;
}

struct Timings {
    double pausedPlain, unchanged, warmPlain, atOnce, changed, perCell;
};

bool Measure(int entries, int rounds, Timings* timings) {
    testsupport::TempFolder folder;
    std::string ion = bench::WriteSampleDescriptions(folder, entries);

    // Forty rows spread over the file; with fewer entries, the rows behind them
    // are files without a description.
    std::vector<std::string> labels;
    int step = entries >= kRows ? entries / kRows : 1;
    for (int row = 0; row < kRows; ++row) {
        char name[32];
        wsprintfA(name, "file%05d.txt", row * step);
        labels.push_back(name);
    }
    // The first letter of the changed row's description ("Description of ...").
    std::string image = testsupport::ReadFileBytes(ion);
    bool described = kChangedRow < entries;
    size_t line = image.find(labels[kChangedRow] + " ");
    DWORD letter = described && line != std::string::npos ? static_cast<DWORD>(line + labels[kChangedRow].size() + 1) : 0;

    Explorer explorer = CreateExplorer("CabinetWClass", folder.Path());
    FillList(explorer.list, StandardColumns(), labels);
    SetFocus(explorer.list);
    testsupport::PumpPendingMessages();
    bench::PlainReader plainReader(ion);
    bool ok = ColumnTitle(explorer.list, kColumn) == "Description" && plainReader.Read() == static_cast<size_t>(entries);
    for (int row = 0; ok && row < kRows; ++row)
        ok = (CellTextA(explorer.list, row, kColumn).find("Description of file") == 0) == (row * step < entries);
    if (!ok) {
        printf("the %d-entry view does not show its descriptions\n", entries);
        DestroyWindow(explorer.frame);
        return false;
    }

    std::vector<double> pausedPlain, unchanged, warmPlain, atOnce, changed, perCell;
    for (int round = 0; round < rounds; ++round) {
        Sleep(kPauseMs);
        double t0 = bench::Now();
        plainReader.Read();
        pausedPlain.push_back(bench::Now() - t0);

        Sleep(kPauseMs);
        t0 = bench::Now();
        PaintScreen(explorer.list);
        double t1 = bench::Now();
        PaintScreen(explorer.list);
        double t2 = bench::Now();
        plainReader.Read();
        double t3 = bench::Now();
        unchanged.push_back(t1 - t0);
        atOnce.push_back(t2 - t1);
        warmPlain.push_back(t3 - t2);

        if (described) {
            // "Description" and "description" in turn.
            char now = round % 2 == 0 ? 'd' : 'D';
            if (!WriteByteAt(ion, letter, now)) {
                printf("the %d-entry file could not be changed\n", entries);
                ok = false;
                break;
            }
            Sleep(kPauseMs);
            t0 = bench::Now();
            PaintScreen(explorer.list);
            changed.push_back(bench::Now() - t0);
            if (CellTextA(explorer.list, kChangedRow, kColumn).find(now + std::string("escription of file")) != 0) {
                printf("the %d-entry view does not show the change of round %d\n", entries, round + 1);
                ok = false;
                break;
            }
        }

        t0 = bench::Now();
        for (int row = 0; row < kRows; ++row) OldCell(explorer, row, folder.Path());
        perCell.push_back(bench::Now() - t0);
    }
    DestroyWindow(explorer.frame);
    testsupport::PumpPendingMessages();
    if (!ok) return false;
    timings->pausedPlain = bench::Median(pausedPlain);
    timings->unchanged = bench::Median(unchanged);
    timings->warmPlain = bench::Median(warmPlain);
    timings->atOnce = bench::Median(atOnce);
    timings->changed = changed.empty() ? 0 : bench::Median(changed);
    timings->perCell = bench::Median(perCell);
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
    printf("%8s %11s %11s %6s %11s %6s %11s %11s %6s %11s %6s\n", "", "plain read", "screen", "", "screen", "",
           "plain read", "screen", "", "per cell", "");
    printf("%8s %11s %11s %6s %11s %6s %11s %11s %6s %11s %6s\n", "entries", "after pause", "unchanged", "ratio",
           "changed", "ratio", "warm", "at once", "ratio", "as before", "ratio");
    int status = 0;
    for (int entries : {10, 1000, 10000, 100000}) {
        Timings t;
        if (!Measure(entries, rounds, &t)) {
            status = 1;
            continue;
        }
        printf("%8d %11.1f %11.1f %5.2fx %11.1f %5.2fx %11.1f %11.1f %5.2fx %11.1f %5.1fx\n", entries, t.pausedPlain,
               t.unchanged, t.unchanged / t.pausedPlain, t.changed, t.changed / t.pausedPlain, t.warmPlain, t.atOnce,
               t.atOnce / t.warmPlain, t.perCell, t.perCell / t.warmPlain);
        fflush(stdout);
    }
    deactivate();
    return status;
}

// The cost of one cell of the description column: LVM_GETITEMTEXTA on a
// 1,000-row view makes the list view ask its parent, which the hook answers
// from what its view read of the 1,000-entry description file (read again when
// older than the cache's bound). Compared with one GetDescription call on the
// same file for the same name, which always reads the file.
//
//   columnhook_bench [ROWS] [ROUNDS]
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "ExplorerShape.h"
#include "LearnedTitles.h"
#include "TestSupport.h"
#include "BenchSupport.h"

using namespace explorershape;

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    int rows = argc > 1 ? atoi(argv[1]) : 1000;
    int rounds = argc > 2 ? atoi(argv[2]) : 3;
    if (rows < 1 || rounds < 1) return 2;

    testsupport::CleanSettings settings;
    testsupport::TempFolder folder;
    std::vector<std::string> labels;
    std::string lines;
    for (int row = 0; row < rows; ++row) {
        char name[32], line[96];
        wsprintfA(name, "file%04d.txt", row);
        wsprintfA(line, "%s Description of file number %d\r\n", name, row);
        labels.push_back(name);
        lines += line;
    }
    testsupport::WriteFileBytes(folder.File("DESCRIPT.ION"), lines);
    testsupport::LearnedTitles::Store({"Name", "Size", "Type", "Modified"});

    HMODULE library = LoadLibraryA(testsupport::DistFile("Tolvane.dll").c_str());
    if (!library) return 1;
    auto activate = bench::Export<int (*)(void)>(library, "ActivateExplorerHook");
    auto deactivate = bench::Export<int (*)(void)>(library, "DeactivateExplorerHook");
    auto getDescription = bench::Export<int (*)(char*, const char*)>(library, "GetDescription");
    if (!activate || !deactivate || !getDescription || !activate()) return 1;

    RegisterClasses(false);
    Explorer explorer = CreateExplorer("CabinetWClass", folder.Path());
    FillList(explorer.list, StandardColumns(), labels);
    SetFocus(explorer.list);
    testsupport::PumpPendingMessages();
    if (ColumnTitle(explorer.list, 4) != "Description") {
        printf("the column was not added\n");
        return 1;
    }

    // Same answers both ways, or the comparison means nothing.
    char description[2048];
    for (int row = 0; row < rows; row += rows / 10 + 1) {
        getDescription(description, folder.File(labels[row]).c_str());
        if (CellTextA(explorer.list, row, 4) != description || description[0] == '\0') {
            printf("row %d: the cell and GetDescription differ\n", row);
            return 1;
        }
    }

    double bestCell = 1e9, bestCall = 1e9;
    for (int round = 0; round < rounds; ++round) {
        LARGE_INTEGER start, middle, end;
        QueryPerformanceCounter(&start);
        for (int row = 0; row < rows; ++row) CellTextA(explorer.list, row, 4);
        QueryPerformanceCounter(&middle);
        for (int row = 0; row < rows; ++row) getDescription(description, folder.File(labels[row]).c_str());
        QueryPerformanceCounter(&end);
        double cell = Seconds(start, middle) / rows, call = Seconds(middle, end) / rows;
        printf("round %d: cell %.1f us, GetDescription %.1f us, ratio %.3f\n", round + 1, cell * 1e6, call * 1e6,
               cell / call);
        if (cell < bestCell) bestCell = cell;
        if (call < bestCall) bestCall = call;
    }
    printf("best of %d rounds, %d rows, %d entries: cell %.1f us, GetDescription %.1f us, ratio %.3f (goal: at most 1.3)\n",
           rounds, rows, rows, bestCell * 1e6, bestCall * 1e6, bestCell / bestCall);
    DestroyWindow(explorer.frame);
    deactivate();
    return 0;
}

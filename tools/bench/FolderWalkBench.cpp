// What the description column holds while many folders are shown one after
// another: 1,000 folders, each with a description file of 200 entries, shown
// in one folder window that moves from folder to folder, then each in a
// window of its own that goes before the next one comes (as Explorer makes a
// new view for each folder), each time with a screen of 40 cells. Every 100
// folders it prints the handles the process holds, the bytes in use on its
// heaps and its private memory, so that any growth with the number of folders
// shows.
//
//   columnhook_folders_bench [FOLDERS]   (default 1000)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ExplorerShape.h"
#include "LearnedTitles.h"
#include "TestSupport.h"

using namespace explorershape;

namespace {

const int kRows = 40;
const int kEntries = 200;

// Counted one by one: Wine's GetProcessHandleCount reports none.
int Handles() {
    int count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

// The bytes of the busy blocks of all the process's heaps.
size_t HeapBytes() {
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    size_t bytes = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        if (!HeapLock(heaps[i])) continue;
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

// The committed private memory of the process, region by region (Wine's
// GetProcessMemoryInfo reports no private bytes).
size_t PrivateBytes() {
    size_t bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) bytes += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return bytes;
}

void Print(const char* walk, int shown) {
    printf("%-22s %7d %8d %10.0f %11.0f\n", walk, shown, Handles(), HeapBytes() / 1024.0, PrivateBytes() / 1024.0);
    fflush(stdout);
}

std::vector<std::string> Labels() {
    std::vector<std::string> labels;
    for (int row = 0; row < kRows; ++row) {
        char name[32];
        wsprintfA(name, "file%05d.txt", row * (kEntries / kRows));
        labels.push_back(name);
    }
    return labels;
}

// Whether the screen shows the folder's descriptions.
bool PaintScreen(HWND list) {
    bool shown = true;
    for (int row = 0; row < kRows; ++row) shown = CellTextA(list, row, 4).find("Description of file") == 0 && shown;
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    int folders = argc > 1 ? atoi(argv[1]) : 1000;
    if (folders < 1) return 2;
    testsupport::CleanSettings settings;
    testsupport::LearnedTitles::Store({"Name", "Size", "Type", "Modified"});
    HMODULE library = LoadLibraryA(testsupport::DistFile("Tolvane.dll").c_str());
    auto activate = bench::Export<int (*)(void)>(library, "ActivateExplorerHook");
    auto deactivate = bench::Export<int (*)(void)>(library, "DeactivateExplorerHook");
    if (!activate || !deactivate || !activate()) return 1;
    RegisterClasses(false);

    std::vector<std::unique_ptr<testsupport::TempFolder>> places;
    for (int n = 0; n < folders; ++n) {
        places.emplace_back(new testsupport::TempFolder);
        bench::WriteSampleDescriptions(*places.back(), kEntries);
    }
    std::vector<std::string> labels = Labels();
    printf("%d-bit build: %d folders of %d entries, a screen of %d cells each\n",
           static_cast<int>(sizeof(void*) * 8), folders, kEntries, kRows);
    printf("%-22s %7s %8s %10s %11s\n", "", "folders", "handles", "heap KB", "private KB");
    int status = 0;

    {  // What the first window of a process sets up once.
        Explorer first = CreateExplorer("CabinetWClass", places[0]->Path());
        FillList(first.list, StandardColumns(), labels);
        SetFocus(first.list);
        PaintScreen(first.list);
        DestroyWindow(first.frame);
        testsupport::PumpPendingMessages();
    }
    Print("before", 0);

    Explorer moving = CreateExplorer("CabinetWClass", places[0]->Path());
    FillList(moving.list, StandardColumns(), labels);
    SetFocus(moving.list);
    testsupport::PumpPendingMessages();
    for (int n = 0; n < folders; ++n) {
        SetWindowTextA(moving.frame, places[n]->Path().c_str());
        if (!PaintScreen(moving.list)) {
            printf("folder %d does not show its descriptions\n", n);
            status = 1;
        }
        if ((n + 1) % 100 == 0) Print("one window moving", n + 1);
    }
    DestroyWindow(moving.frame);
    testsupport::PumpPendingMessages();
    Print("its window gone", folders);

    for (int n = 0; n < folders; ++n) {
        Explorer window = CreateExplorer("CabinetWClass", places[n]->Path());
        FillList(window.list, StandardColumns(), labels);
        SetFocus(window.list);
        testsupport::PumpPendingMessages();
        if (!PaintScreen(window.list)) {
            printf("folder %d does not show its descriptions\n", n);
            status = 1;
        }
        DestroyWindow(window.frame);
        testsupport::PumpPendingMessages();
        if ((n + 1) % 100 == 0) Print("a window per folder", n + 1);
    }
    deactivate();
    return status;
}

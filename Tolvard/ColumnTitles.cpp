// Reading the titles of Explorer's list-view columns from inside Explorer's process.
// LVM_GETCOLUMNA is not carried across processes by the system: the column record and
// its text buffer must be in memory the list view's process can reach.
#include "ExplorerWizard.h"
#include "RegistryViews.h"
#include "resource.h"

#include <commctrl.h>
#include <stddef.h>
#include <string.h>

#include "Contract.h"
#include "RegistryKey.h"
#include "RegistrySettings.h"

char g_columnTitles[kColumnCount][kTitleSize];

namespace {

const char* const kDefaultTitles[kColumnCount] = {"Name", "Size", "Type", "Modified"};
const int kTitleEdits[kColumnCount] = {IDC_TITLE_NAME, IDC_TITLE_SIZE, IDC_TITLE_TYPE,
                                       IDC_TITLE_MODIFIED};
const DWORD kSharedMemory = 0x08000000;  // VirtualAlloc flag of Windows 95, 98 and Me
const int kTextSize = 260;
const char kUnknownTitle[] = "(unknown)";

void SetTitle(int column, const char* text) {
    lstrcpynA(g_columnTitles[column], text, kTitleSize);  // cut to 99 characters, terminated
}

typedef LPVOID (WINAPI* VirtualAllocExEntry)(HANDLE, LPVOID, SIZE_T, DWORD, DWORD);
typedef BOOL (WINAPI* VirtualFreeExEntry)(HANDLE, LPVOID, SIZE_T, DWORD);

// LVCOLUMNA as the list view's process lays it out, which may differ from ours: a
// 32-bit Tolvard meets the 64-bit Explorer of 64-bit Windows. For LVCF_TEXT the list
// view reads mask, pszText and cchTextMax only; the rest stays zero.
const SIZE_T kRecordSize = 64;   // at least sizeof(LVCOLUMNA) of either pointer size
// Our own layout is one of the two: the compiler checks the offsets used below.
static_assert(sizeof(LVCOLUMNA) <= kRecordSize, "the record holds an LVCOLUMNA");
static_assert(offsetof(LVCOLUMNA, pszText) == (sizeof(void*) == 8 ? 16 : 12), "pszText where written");
static_assert(offsetof(LVCOLUMNA, cchTextMax) == (sizeof(void*) == 8 ? 24 : 16), "cchTextMax where written");
void MakeColumnRecord(bool sixtyFourBit, ULONG_PTR text, BYTE (&record)[kRecordSize]) {
    ZeroMemory(record, sizeof record);
    const UINT mask = LVCF_TEXT;
    const int textMax = kTextSize;
    CopyMemory(record, &mask, sizeof mask);
    if (sixtyFourBit) {
        // mask, fmt, cx, four bytes to align the pointer, pszText (8 bytes), cchTextMax
        unsigned __int64 pointer = text;
        CopyMemory(record + 16, &pointer, sizeof pointer);
        CopyMemory(record + 24, &textMax, sizeof textMax);
    } else {
        // mask, fmt, cx, pszText (4 bytes), cchTextMax
        DWORD pointer = static_cast<DWORD>(text);
        CopyMemory(record + 12, &pointer, sizeof pointer);
        CopyMemory(record + 16, &textMax, sizeof textMax);
    }
}

INT_PTR CALLBACK TitlesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        for (int column = 0; column < kColumnCount; ++column)
            SetDlgItemTextA(page, kTitleEdits[column], g_columnTitles[column]);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    if (wParam == IDOK) {
        for (int column = 0; column < kColumnCount; ++column)
            GetDlgItemTextA(page, kTitleEdits[column], g_columnTitles[column], kTitleSize);
    }
    return EndWizardPage(page, wParam);
}

}  // namespace

bool ReadTitlesThroughSharedMemory(HWND listView) {
    LVCOLUMNA* column = static_cast<LVCOLUMNA*>(
        VirtualAlloc(nullptr, sizeof(LVCOLUMNA), MEM_COMMIT | kSharedMemory, PAGE_READWRITE));
    if (!column) return false;
    char* text = static_cast<char*>(
        VirtualAlloc(nullptr, kTextSize, MEM_COMMIT | kSharedMemory, PAGE_READWRITE));
    if (!text) {
        VirtualFree(column, 0, MEM_RELEASE);
        return false;
    }
    column->mask = LVCF_TEXT;
    column->cchTextMax = kTextSize;
    column->pszText = text;
    for (int index = 0; index < kColumnCount; ++index) {
        lstrcpyA(text, kUnknownTitle);
        SendMessageA(listView, LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(column));
        text[kTextSize - 1] = '\0';
        SetTitle(index, text);
    }
    VirtualFree(text, 0, MEM_RELEASE);
    VirtualFree(column, 0, MEM_RELEASE);
    return true;
}

bool ReadTitlesInListViewProcess(HWND listView) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    VirtualAllocExEntry allocEx = reinterpret_cast<VirtualAllocExEntry>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "VirtualAllocEx")));
    VirtualFreeExEntry freeEx = reinterpret_cast<VirtualFreeExEntry>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "VirtualFreeEx")));
    if (!allocEx || !freeEx || !IsWindow(listView)) return false;

    DWORD processId = 0;
    GetWindowThreadProcessId(listView, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                     PROCESS_QUERY_INFORMATION,
                                 FALSE, processId);
    if (!process) return false;

    // One block in the list view's process: the column record, then its text buffer.
    // Between 32- and 64-bit processes its address fits both: a 32-bit process gets
    // and reaches memory below 4 GB only.
    BYTE* block = static_cast<BYTE*>(allocEx(process, nullptr, kRecordSize + kTextSize, MEM_COMMIT, PAGE_READWRITE));
    if (!block) {
        CloseHandle(process);
        return false;
    }
    BYTE* remoteText = block + kRecordSize;
    BYTE record[kRecordSize];
    MakeColumnRecord(IsSixtyFourBitProcess(process), reinterpret_cast<ULONG_PTR>(remoteText), record);

    char titles[kColumnCount][kTextSize] = {};
    bool readAll = true;
    for (int index = 0; index < kColumnCount && readAll; ++index) {
        char text[kTextSize] = {};
        lstrcpyA(text, kUnknownTitle);
        SIZE_T moved = 0;
        readAll = WriteProcessMemory(process, block, record, sizeof record, &moved) &&
                  WriteProcessMemory(process, remoteText, text, sizeof text, &moved);
        if (!readAll) break;
        SendMessageA(listView, LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(block));
        readAll = ReadProcessMemory(process, remoteText, titles[index], kTextSize, &moved) &&
                  moved == static_cast<SIZE_T>(kTextSize);
        titles[index][kTextSize - 1] = '\0';
    }
    freeEx(process, block, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!readAll) return false;
    for (int index = 0; index < kColumnCount; ++index) SetTitle(index, titles[index]);
    return true;
}

int ReadColumnTitles(HWND listView) {
    for (int column = 0; column < kColumnCount; ++column) SetTitle(column, kDefaultTitles[column]);

    if (!ReadTitlesThroughSharedMemory(listView) && !ReadTitlesInListViewProcess(listView)) {
        OutputDebugStringA("Tolvard: column titles not readable, asking the user\n");
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_WIZARD_TITLES), nullptr,
                        TitlesPageProc, 0);
    }

    CRegistryKey key;
    if (key.Create(HKEY_CURRENT_USER, TOLVARD_EXPLORER_KEY)) {
        for (int column = 0; column < kColumnCount; ++column)
            WriteColumnTitle(key.Handle(), static_cast<ExplorerColumn>(column), g_columnTitles[column]);
    }
    return 1;
}

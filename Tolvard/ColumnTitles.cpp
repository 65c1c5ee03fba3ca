// Reading the titles of Explorer's list-view columns from inside Explorer's process.
// LVM_GETCOLUMNA is not carried across processes by the system: the column record and
// its text buffer must be in memory the list view's process can reach.
#include "ExplorerWizard.h"
#include "resource.h"

#include <commctrl.h>
#include <string.h>

char g_columnTitles[kColumnCount][kTitleSize];

namespace {

const char kExplorerKey[] = "SOFTWARE\\Varnoke\\Tolvard\\Explorer";
const char* const kDefaultTitles[kColumnCount] = {"Name", "Size", "Type", "Modified"};
const char* const kTitleValues[kColumnCount] = {"ExplorerName", "ExplorerSize", "ExplorerType",
                                                "ExplorerModified"};
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
typedef BOOL (WINAPI* IsWow64ProcessEntry)(HANDLE, PBOOL);

// True when both processes have the same pointer size, so that our LVCOLUMNA is the
// list view's too. Systems without IsWow64Process have one pointer size only.
bool SameBitness(HANDLE process) {
    IsWow64ProcessEntry isWow64 = reinterpret_cast<IsWow64ProcessEntry>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    if (!isWow64) return true;
    BOOL ours = FALSE, theirs = FALSE;
    if (!isWow64(GetCurrentProcess(), &ours) || !isWow64(process, &theirs)) return false;
    return ours == theirs;
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
    if (!SameBitness(process)) {
        CloseHandle(process);
        return false;
    }

    // One block in the list view's process: the column record, then its text buffer.
    const SIZE_T blockSize = sizeof(LVCOLUMNA) + kTextSize;
    BYTE* block = static_cast<BYTE*>(allocEx(process, nullptr, blockSize, MEM_COMMIT, PAGE_READWRITE));
    if (!block) {
        CloseHandle(process);
        return false;
    }
    LVCOLUMNA column;
    ZeroMemory(&column, sizeof column);
    column.mask = LVCF_TEXT;
    column.cchTextMax = kTextSize;
    column.pszText = reinterpret_cast<char*>(block + sizeof(LVCOLUMNA));

    char titles[kColumnCount][kTextSize] = {};
    bool readAll = true;
    for (int index = 0; index < kColumnCount && readAll; ++index) {
        char text[kTextSize] = {};
        lstrcpyA(text, kUnknownTitle);
        SIZE_T moved = 0;
        readAll = WriteProcessMemory(process, block, &column, sizeof column, &moved) &&
                  WriteProcessMemory(process, column.pszText, text, sizeof text, &moved);
        if (!readAll) break;
        SendMessageA(listView, LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(block));
        readAll = ReadProcessMemory(process, column.pszText, titles[index], kTextSize, &moved) &&
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

    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kExplorerKey, &key) == ERROR_SUCCESS) {
        for (int column = 0; column < kColumnCount; ++column)
            RegSetValueExA(key, kTitleValues[column], 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(g_columnTitles[column]),
                           lstrlenA(g_columnTitles[column]));
        RegCloseKey(key);
    }
    return 1;
}

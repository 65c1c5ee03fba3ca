// The system-wide CBT hook: ActivateExplorerHook and DeactivateExplorerHook, and the
// hook procedure that, in every process it reaches, subclasses the shell views of
// Explorer's folder windows and of the open and save dialogs and adds the column.
#include "ColumnHook.h"

#include "module/Module.h"

HHOOK HookHandle = nullptr;
WNDPROC SavedViewProc = nullptr;
HWND PendingListView = nullptr;

// The hook's handle for CallNextHookEx, the same in every process the hook reaches.
// HookHandle is set only in the process that installed the hook (Tolvard) and is null
// everywhere else. Windows NT ignores CallNextHookEx's first argument, but Windows 95,
// 98 and Me find the next hook through it: a null one there cuts off, in every process,
// the CBT hooks of other programs that come after ours. The design shared no data
// between processes; for this one value that was the fault, so it lives in a section
// that every process loading this file shares. HookHandle stays per process for
// ActivateExplorerHook and DeactivateExplorerHook, so that no program removes a hook
// that another one installed. A wrong value here costs nothing on Windows NT.
HHOOK g_sharedHookHandle __attribute__((section(".shared"), shared)) = nullptr;

namespace {

// A subclassed shell view calls into this library until it is destroyed, and
// nothing puts its old procedure back. So the first subclassing in a process
// takes a module reference of its own, which is never given back: the library
// then stays in the process even when the system drops it after the hook is
// removed, or the shell frees it through DllCanUnloadNow.
// Windows XP and later take that reference with GetModuleHandleExA; Windows 95,
// 98, Me, NT 4 and 2000 lack it, and there one more LoadLibraryA of the library's
// own path does the same.
bool TakeModuleReference() {
    typedef BOOL(WINAPI * GetModuleHandleExFn)(DWORD, LPCSTR, HMODULE*);
    const DWORD fromAddress = 0x00000004;  // GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS
    GetModuleHandleExFn getModuleHandleEx = reinterpret_cast<GetModuleHandleExFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetModuleHandleExA")));
    HMODULE module = nullptr;
    if (getModuleHandleEx)
        return getModuleHandleEx(fromAddress, reinterpret_cast<LPCSTR>(&FolderViewProc), &module) != FALSE;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(g_moduleHandle, path, sizeof path);
    return length > 0 && length < sizeof path && LoadLibraryA(path) != nullptr;
}

void KeepLibraryLoaded() {
    static bool held = false;
    if (!held) held = TakeModuleReference();
}


void OnCreateWindow(HWND window, const CBT_CREATEWNDA* create) {
    if (ClassifyWindow(window) != WindowKind::ListView) return;
    if (!create || !create->lpcs) return;
    HWND shellView = create->lpcs->hwndParent;
    if (ClassifyWindow(shellView) != WindowKind::ShellView) return;

    // All subclassed views of a process share one saved procedure; a view whose
    // procedure is something else was replaced already, by us or by others.
    if (SavedViewProc &&
        reinterpret_cast<WNDPROC>(GetWindowLongPtrA(shellView, GWLP_WNDPROC)) != SavedViewProc)
        return;

    WNDPROC replacement = nullptr;
    switch (ClassifyWindow(GetParent(shellView))) {
    case WindowKind::ExplorerFrame:
    case WindowKind::CabinetFrame:
        replacement = FolderViewProc;
        break;
    case WindowKind::DialogHost:
        replacement = DialogViewProc;
        break;
    default:
        return;
    }

    KeepLibraryLoaded();
    PendingListView = window;
    SavedViewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(shellView, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replacement)));
}

void OnDestroyWindow(HWND window) {
    if (ClassifyWindow(window) != WindowKind::ShellView) return;
    if (ClassifyWindow(GetParent(window)) == WindowKind::None) return;
    if (!PendingListView) return;
    AddDescriptionColumn(PendingListView);
    PendingListView = nullptr;
}

void OnSetFocus(HWND window) {
    if (ClassifyWindow(window) != WindowKind::ListView) return;
    WindowKind host = ClassifyWindow(GetParent(GetParent(window)));
    if (host != WindowKind::ExplorerFrame && host != WindowKind::CabinetFrame &&
        host != WindowKind::DialogHost)
        return;
    AddDescriptionColumn(window);
}

}  // namespace

LRESULT CALLBACK ExplorerHookProc(int code, WPARAM wParam, LPARAM lParam) {
    switch (code) {
    case HCBT_CREATEWND:
        OnCreateWindow(reinterpret_cast<HWND>(wParam), reinterpret_cast<const CBT_CREATEWNDA*>(lParam));
        break;
    case HCBT_DESTROYWND:
        OnDestroyWindow(reinterpret_cast<HWND>(wParam));
        break;
    case HCBT_SETFOCUS:
        OnSetFocus(reinterpret_cast<HWND>(wParam));
        break;
    default:
        break;
    }
    return CallNextHookEx(g_sharedHookHandle, code, wParam, lParam);
}

extern "C" int ActivateExplorerHook(void) {
    HookHandle = SetWindowsHookExA(WH_CBT, ExplorerHookProc, g_moduleHandle, 0);
    if (!HookHandle) {
        // As designed: the error is read and not used; it stays for the caller to
        // read through GetLastError.
        GetLastError();
        return 0;
    }
    g_sharedHookHandle = HookHandle;
    return 1;
}

extern "C" int DeactivateExplorerHook(void) {
    if (!UnhookWindowsHookEx(HookHandle)) return 0;
    // The shared copy goes with its hook; another program's stays.
    if (g_sharedHookHandle == HookHandle) g_sharedHookHandle = nullptr;
    return 1;
}

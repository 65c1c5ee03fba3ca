// The wide window functions, looked up once per process on Windows NT
// (WideWindows.h says why).
#include "WideWindows.h"

namespace {

WideWindows g_functions;
const WideWindows* g_wide = nullptr;
// Looked up once per process: the first thread to swap in the 1 does it, any
// other waits the moment that takes (as ViewCaches.cpp takes its slot).
volatile LONG g_claimed = 0;
volatile LONG g_done = 0;

template <class Function>
bool Find(HMODULE module, const char* name, Function* function) {
    *function = module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    return *function != nullptr;
}

const WideWindows* LookUp() {
    // Windows 95, 98 and Me set the top bit of the version.
    if (GetVersion() & 0x80000000u) return nullptr;
    // All three are loaded: this library imports from each of them.
    HMODULE user = GetModuleHandleA("user32.dll");
    HMODULE shell = GetModuleHandleA("shell32.dll");
    HMODULE controls = GetModuleHandleA("comctl32.dll");
    WideWindows& f = g_functions;
    const bool all = Find(user, "SendMessageW", &f.sendMessage) & Find(user, "GetWindowTextW", &f.getWindowText) &
                     Find(user, "GetWindowTextLengthW", &f.getWindowTextLength) &
                     Find(user, "SetWindowTextW", &f.setWindowText) & Find(user, "InsertMenuW", &f.insertMenu) &
                     Find(user, "DialogBoxParamW", &f.dialogBoxParam) &
                     Find(shell, "DragQueryFileW", &f.dragQueryFile) &
                     Find(controls, "CreatePropertySheetPageW", &f.createPropertySheetPage);
    return all ? &g_functions : nullptr;
}

}  // namespace

const WideWindows* Wide() {
    if (g_done) return g_wide;
    if (InterlockedExchange(const_cast<LONG*>(&g_claimed), 1) == 0) {
        g_wide = LookUp();
        InterlockedExchange(const_cast<LONG*>(&g_done), 1);
    } else {
        while (!g_done) Sleep(0);
    }
    return g_wide;
}

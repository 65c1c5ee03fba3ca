// The application object of the dialog tests: named "Tolvard" by the program's own
// string resource, as in Tolvard.exe.
#include "afxwin.h"

namespace {
CWinApp g_app;
struct InitApp {
    InitApp() { AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW); }
} g_initApp;
}  // namespace

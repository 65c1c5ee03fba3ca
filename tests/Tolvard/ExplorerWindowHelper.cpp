// explorer_window.exe CLASS CAPTION COLUMNS: the Explorer-shaped folder window of
// ExplorerShape.h in a process of its own, for the wizard's and the column hook's
// tests: a top-level window of the given class and caption holding a
// "SHELLDLL_DefView" with a details-view list view of the first COLUMNS of the titles
// below (COLUMNS -1: no list view at all). WM_APP to the window gives the list view
// the focus, as a click into the file list does. Ends on WM_CLOSE.
#include <windows.h>

#include <stdlib.h>
#include <string>
#include <vector>

#include "ExplorerShape.h"

namespace {

const char* const kTitles[] = {
    "Nom", "Taille", "Type de fichier",
    "A modification date title that is far longer than the ninety-nine characters which the "
    "wizard keeps of it"};

HWND g_list = nullptr;
WNDPROC g_frameProc = nullptr;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    if (message == WM_APP && g_list) SetFocus(g_list);
    return CallWindowProcA(g_frameProc, window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    explorershape::RegisterClasses(false);
    explorershape::RegisterFrameClass(argv[1]);
    explorershape::Explorer explorer = explorershape::CreateExplorer(argv[1], argv[2], WS_OVERLAPPEDWINDOW);
    if (!explorer.frame) return 1;
    g_frameProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(explorer.frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameProc)));

    int columns = atoi(argv[3]);
    if (columns < 0) {
        DestroyWindow(explorer.list);
    } else {
        g_list = explorer.list;
        std::vector<std::string> titles(kTitles, kTitles + (columns < 4 ? columns : 4));
        explorershape::FillList(g_list, titles, {});
    }
    ShowWindow(explorer.frame, SW_SHOWNOACTIVATE);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

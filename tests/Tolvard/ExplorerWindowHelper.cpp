// explorer_window.exe CLASS CAPTION COLUMNS: a folder window shaped like Explorer's of
// Windows 95 to 2000 for the wizard's tests: a top-level window of the given class and
// caption holding a "SHELLDLL_DefView" with a details-view list view of the first
// COLUMNS of the titles below (COLUMNS -1: no list view at all). WM_APP to the window
// gives the list view the focus, as a click into the file list does. Ends on WM_CLOSE.
#include <windows.h>
#include <commctrl.h>

#include <stdlib.h>
#include <string>

namespace {

const char* const kTitles[] = {
    "Nom", "Taille", "Type de fichier",
    "A modification date title that is far longer than the ninety-nine characters which the "
    "wizard keeps of it"};

HWND g_list = nullptr;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    if (message == WM_APP && g_list) SetFocus(g_list);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    InitCommonControls();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.lpszClassName = argv[1];
    RegisterClassA(&frameClass);
    WNDCLASSA viewClass = {};
    viewClass.lpfnWndProc = DefWindowProcA;
    viewClass.hInstance = instance;
    viewClass.lpszClassName = "SHELLDLL_DefView";
    RegisterClassA(&viewClass);

    int columns = atoi(argv[3]);
    HWND frame = CreateWindowExA(0, argv[1], argv[2], WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                 nullptr, instance, nullptr);
    HWND view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, 600, 400,
                                frame, nullptr, instance, nullptr);
    if (columns >= 0) {
        HWND list = g_list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 600,
                                    400, view, nullptr, instance, nullptr);
        for (int index = 0; index < columns && index < 4; ++index) {
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 100;
            column.pszText = const_cast<char*>(kTitles[index]);
            SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
        }
    }
    ShowWindow(frame, SW_SHOWNOACTIVATE);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

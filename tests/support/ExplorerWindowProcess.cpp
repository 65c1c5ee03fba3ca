// The Explorer-shaped window in a second process (ExplorerWindowProcess.h): starting
// explorer_window.exe, and reading its list view across processes.
#include "ExplorerWindowProcess.h"

#include <commctrl.h>

#include "TestSupport.h"
#include "WindowFinder.h"

const char* const kHelperTitles[4] = {
    "Nom", "Taille", "Type de fichier",
    // the helper's fourth title cut to 99 characters
    "A modification date title that is far longer than the ninety-nine characters which the wizard keeps"};

ExplorerWindowProcess::ExplorerWindowProcess(const std::string& className, const std::string& caption,
                                             int columns) {
    // QuoteArgument keeps a caption's trailing backslash.
    process_ = testsupport::StartProcess(testsupport::QuoteArgument(testsupport::BinFile("explorer_window.exe")) +
                                         " " + testsupport::QuoteArgument(className) + " " +
                                         testsupport::QuoteArgument(caption) + " " + std::to_string(columns));
    if (!process_) return;
    testsupport::WindowQuery query;
    query.processId = GetProcessId(process_);
    window_ = testsupport::WaitForWindowBy(query, 10000);
}

HWND ExplorerWindowProcess::ListView() const {
    HWND view = window_ ? FindWindowExA(window_, nullptr, "SHELLDLL_DefView", nullptr) : nullptr;
    return view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
}

int ExplorerWindowProcess::ColumnsAfterFocus(int expected) const {
    HWND listView = ListView();
    if (!listView) return -1;
    PostMessageA(window_, WM_APP, 0, 0);   // explorer_window.exe's way of a click into the list
    HWND header = reinterpret_cast<HWND>(SendMessageA(listView, LVM_GETHEADER, 0, 0));
    int columns = -1;
    for (int tries = 0; tries < 40; ++tries) {
        columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        if (columns == expected) break;
        Sleep(50);
    }
    return columns;
}

ExplorerWindowProcess::~ExplorerWindowProcess() {
    if (!process_) return;
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
    CloseHandle(process_);
}

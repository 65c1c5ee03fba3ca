#include "ExplorerWindowFixture.h"

#include "TestSupport.h"

const char* const kHelperTitles[4] = {
    "Nom", "Taille", "Type de fichier",
    // the helper's fourth title cut to 99 characters
    "A modification date title that is far longer than the ninety-nine characters which the wizard keeps"};

namespace {

struct ProcessWindow {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchProcess(HWND window, LPARAM param) {
    ProcessWindow* search = reinterpret_cast<ProcessWindow*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

// One argument between double quotes; backslashes in front of the closing quote are
// doubled, so that a caption ending in a backslash keeps it.
std::string Quoted(const std::string& text) {
    std::string tail;
    for (size_t end = text.size(); end > 0 && text[end - 1] == '\\'; --end) tail += '\\';
    return "\"" + text + tail + "\"";
}

}  // namespace

ExplorerWindowProcess::ExplorerWindowProcess(const std::string& className, const std::string& caption,
                                             int columns) {
    process_ = testsupport::StartProcess(Quoted(testsupport::BinFile("explorer_window.exe")) + " " +
                                         Quoted(className) + " " + Quoted(caption) + " " +
                                         std::to_string(columns));
    if (!process_) return;
    ProcessWindow search = {GetProcessId(process_), nullptr};
    for (int tries = 0; tries < 200 && !search.found; ++tries) {
        Sleep(50);
        EnumWindows(MatchProcess, reinterpret_cast<LPARAM>(&search));
    }
    window_ = search.found;
}

ExplorerWindowProcess::~ExplorerWindowProcess() {
    if (!process_) return;
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
    CloseHandle(process_);
}

// The installed Tolvard.exe, started and answered as its user would: the splash,
// the first-run wizard's pages (Next on each), the hidden frame, and Exit.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace demo {

class TolvardProcess {
public:
    ~TolvardProcess();

    // Tolvard.exe in the folder that the installation recorded under
    // HKLM\...\Uninstall\Tolvane (InstallLocation); empty when not installed.
    static std::string InstalledPath();

    bool Start(const std::string& program);
    // Waits for the splash to close itself and answers the wizard's pages with
    // Next until the frame "Tolvard" exists. onPage(name) runs while each page is
    // shown ("welcome", "confirm", "titles"); confirmed receives the caption that
    // the confirmation page shows. False (with a line saying why) on any surprise.
    bool AnswerStartUp(const std::function<void(const char* page)>& onPage, std::string* confirmed);
    bool Started() const { return process_ != nullptr; }
    HWND Frame() const { return frame_; }
    // Names the windows it shows (a message box with its text), to tell why it stopped.
    void SayVisibleWindows() const;
    // Exit from the icon's menu (ID_APP_EXIT to the frame); true when it ended.
    bool Exit();

private:
    HWND FindOwnWindow(const char* title, bool dialog) const;

    HANDLE process_ = nullptr;
    HWND frame_ = nullptr;
};

// Whether the system has mapped Tolvane.dll into this process through the
// column hook: it does so at the first hooked event while the hook is installed.
bool ColumnHookReachesThisProcess(DWORD timeoutMs);
// Whether TolvardHook.exe, Tolvard's companion for the 32-bit programs, runs.
bool CompanionRunning();

}  // namespace demo

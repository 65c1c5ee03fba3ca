#include "ScreenShots.h"

#include <windows.h>

#include "DemoSteps.h"

namespace demo {

bool ScreenShots::Take(const char* name) {
    // What was just opened draws itself first.
    PumpMessages(700);
    if (!Enabled()) {
        PumpMessages(3000);   // time to look at it
        return true;
    }
    std::string request = folder_ + "\\" + name + ".request";
    HANDLE file = CreateFileA(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Say("  (could not ask for the screenshot \"%s\": %s not writable)", name, request.c_str());
        missing_.push_back(name);
        return false;
    }
    CloseHandle(file);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
        PumpMessages(100);
        if (GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES) {
            Say("  screenshot \"%s\" taken", name);
            return true;
        }
    }
    DeleteFileA(request.c_str());
    Say("  (the screenshot \"%s\" was not taken within 20 s)", name);
    missing_.push_back(name);
    return false;
}

}  // namespace demo

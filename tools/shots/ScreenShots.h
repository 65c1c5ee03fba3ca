// Screenshots by handshake with the scripts (serve_screenshots in scripts/lib.sh),
// which alone can read the X screen: when what it shows is ready, the program leaves
// FOLDER\NAME.request and waits, serving its windows, until the script has captured
// the screen into NAME.png beside it and removed the request. scripts/demo and
// scripts/screenshots both serve it; tolvane_demo and the picture programs ask.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace shots {

class ScreenShots {
public:
    explicit ScreenShots(const std::string& folder) : folder_(folder) {}
    // No folder: a desktop with a user in front of it; nothing is captured.
    bool Enabled() const { return !folder_.empty(); }
    // Asks for the shot NAME; false when the script did not take it within ~20 s.
    // With a user in front of the desktop it holds the picture a few seconds instead.
    bool Take(const char* name);
    const std::vector<std::string>& Missing() const { return missing_; }

private:
    std::string folder_;
    std::vector<std::string> missing_;
};

// A picture program started by `shoot` in scripts/screenshots takes one picture,
// whose folder and name the script puts in the environment (TOLVANE_SHOTS,
// TOLVANE_SHOT). Wanted() says whether there is one to take; TakeWanted() asks for
// it and tells whether it was taken.
bool Wanted();
bool TakeWanted();
// For a picture program that shows a menu or a modal dialog: when one is wanted, a
// timer of this thread waits for the menu or dialog to be shown, brings it to the
// front, takes the picture and closes it (EndMenu, IDCANCEL), so the program ends.
// TakenWhenShown() tells afterwards whether the picture was taken.
void TakeWhenShown();
bool TakenWhenShown();

// The visible top-level window of this thread of the class (a dialog "#32770", a
// menu "#32768"); nullptr while there is none.
HWND ShownWindow(const char* className);

}  // namespace shots

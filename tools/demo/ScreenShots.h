// Screenshots by handshake with scripts/demo, which alone can read the X screen:
// the program leaves FOLDER\NAME.request and waits, serving its windows, until the
// script has captured the screen into NAME.png beside it and removed the request.
#pragma once

#include <string>
#include <vector>

namespace demo {

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

}  // namespace demo

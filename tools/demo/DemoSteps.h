// tolvane_demo.exe: the client of scripts/demo. It plays the user of an installed
// Tolvane and Tolvard on a Wine desktop, prints each step, and (without a display)
// asks the script for a screenshot at each sight worth showing.
#pragma once

#include <windows.h>

#include "TestSupport.h"

#include <string>

namespace demo {

// desktop FOLDER [SHOTDIR]: an Explorer-shaped window of FOLDER, the installed
// Tolvard started and its first-run wizard answered, then the description column,
// the context-menu entry with its dialog and the "Description" property page.
// With SHOTDIR it takes the screenshots and ends; without, it leaves the window
// for the user and ends when the window is closed.
int DesktopStep(const std::string& folder, const std::string& shotFolder);

// Output: one line, flushed at once so that it comes before a child's or Wine's.
void Say(const char* format, ...);
// A registry value as text: a string in quotes, a number, "(not set)" or "(no key)".
std::string RegistryText(HKEY root, const char* key, const char* value);
// The demo's windows, and the requests of other processes to them, are served only
// while this thread pumps its messages (testsupport::PumpMessages).
using testsupport::PumpMessages;

}  // namespace demo

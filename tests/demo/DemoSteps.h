// The steps of tolvane_demo.exe. Each prints what it does, one line at a time, and
// returns 0 when everything it showed worked.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace demo {

// menu FILE...: registers Tolvane.dll as the shell would find it, and fills a
// context menu for each file, as Explorer does on a right click.
int ContextMenuStep(const std::vector<std::string>& files);

// column FOLDER LABEL...: installs the column hook and shows the folder in an
// Explorer-shaped window of a second process (column-window, below).
int ColumnStep(const std::vector<std::string>& args);
// column-window REPORT TITLE LABEL...: the second process of the column step.
int ColumnWindow(const std::vector<std::string>& args);

// tray FILE: Tolvard.exe on a desktop with a notification area; its context-menu
// and property-page switches, toggled through its hidden frame (with the shell's
// properties dialog of FILE after each page toggle), and Exit.
int TrayStep(const std::string& file);

// Output: one line, flushed at once so that it comes before a child's or Wine's.
void Say(const char* format, ...);
// A registry value as text: a string in quotes, a number, "(not set)" or "(no key)".
std::string RegistryText(HKEY root, const char* key, const char* value);
// Paths of the build: Tolvane.dll of the tree's dist, with the full path.
std::string FullPath(const std::string& path);

}  // namespace demo

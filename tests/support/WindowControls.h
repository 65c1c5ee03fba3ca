// Reading windows and pressing their buttons the way the tests and tools do it. A
// button is pressed either by sending BM_CLICK to the button (it runs at once, with
// the button's own handling: a disabled button does nothing) or by posting
// WM_COMMAND to its dialog (it runs once the dialog's loop gets to it, which lets a
// handler return before the dialog ends); the names say which.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

std::string WindowText(HWND window);                 // empty for no window
std::string ControlText(HWND dialog, int id);
std::string ClassName(HWND window);
std::string MessageBoxText(HWND box);                // the message of a message box

void ClickButtonBySend(HWND dialog, int id);         // BM_CLICK, sent to the button
void PostCommand(HWND dialog, int id);               // WM_COMMAND (id, BN_CLICKED, button), posted

// Selects the whole field and types the text over it character by character, as
// WM_CHAR (an empty text deletes it).
void TypeInto(HWND dialog, int id, const std::string& text);
// The same with wide characters: letters of any script, into a Unicode field.
void TypeInto(HWND dialog, int id, const std::wstring& text);

// A window's text read wide, in UTF-8: letters of any script.
std::string WideText(HWND window);

}  // namespace testsupport

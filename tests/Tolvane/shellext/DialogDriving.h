// What the shell extension's dialog templates show, and how the tests compare it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ShellextTestSupport.h"

namespace shellext {

// The caption of the box that says a description could not be saved.
constexpr const char kNotSavedCaption[] = "Description not saved";

// The legend of both templates: what the system is, and by whom.
constexpr const char kLegend[] = "Descriptions in Windows 9x/NT context menu\nby Varnoke";

// The face name of the font a window uses.
inline std::string FontFace(HWND window) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA description = {};
    if (!font || !GetObjectA(font, sizeof description, &description)) return std::string();
    return description.lfFaceName;
}

inline bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

// Presses the button id of dialog and returns the text of every box that said
// a description could not be saved meanwhile (each closed with its OK).
inline std::vector<std::string> PressAndReadNotSaved(testsupport::Caller caller, HWND dialog, int id) {
    std::vector<std::string> said;
    testsupport::DialogDriver boxes(caller, testsupport::DialogDriver::Titled(kNotSavedCaption), [&](HWND box) {
        said.push_back(testsupport::MessageBoxText(box));
        ClickButtonBySend(box, IDOK);
        return true;
    });
    ClickButtonBySend(dialog, id);
    return said;
}

// One control of a dialog template as the dialog shows it.
struct ExpectedControl {
    int id;               // -1 for a static without id
    const char* className;
    const char* text;     // nullptr: not compared (filled in at run time)
    DialogRect rect;
    bool enabled;
    bool tabStop;
};

// Compares the dialog's child windows, in their order, with the table.
inline void ExpectControls(HWND dialog, const std::vector<ExpectedControl>& expected) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(expected.size(), children.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ExpectedControl& want = expected[i];
        HWND child = children[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " (id " << want.id << ")");
        EXPECT_EQ(want.id, static_cast<int>(static_cast<short>(GetDlgCtrlID(child))));
        EXPECT_STRCASEEQ(want.className, ClassName(child).c_str());
        if (want.text) {
            EXPECT_EQ(want.text, WindowText(child));
        }
        EXPECT_TRUE(ControlMatchesRect(dialog, child, want.rect));
        EXPECT_EQ(want.enabled, IsWindowEnabled(child) != FALSE);
        EXPECT_EQ(want.tabStop, (GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) != 0);
    }
}

}  // namespace shellext

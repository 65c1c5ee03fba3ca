// The About box (dialog 100): the program's version, the versions of Tolvane (on
// 64-bit Windows of both installed libraries) and of the common controls, and two
// links to the author. At start-up it is the splash
// screen that closes by itself.
#pragma once

#include "afx/afxwin.h"

// A control of the About box that becomes a link, and what it opens (nullptr: the
// control's own text).
struct AboutLink {
    UINT controlId;
    LPCSTR target;
};

// The program's link table: the web address (1005) and the mail link (1006).
extern const AboutLink kAboutLinks[];
extern const UINT kAboutLinkCount;

#define ABOUT_TIMER_ID 12345

class CAboutDialog : public CDialog {
public:
    // closeTime: milliseconds until the box closes by itself; 0 = never.
    CAboutDialog(const AboutLink* links, UINT linkCount, UINT closeTime);

    BOOL OnInitDialog() override;
    BOOL DestroyWindow() override;   // kills the automatic-close timer first

    void OnTimer(UINT_PTR nIDEvent);

private:
    void ShowOtherLibrary();

    UINT_PTR m_timerId;
    const AboutLink* m_links;
    UINT m_linkCount;
    UINT m_closeTime;

    DECLARE_MESSAGE_MAP()
};

// Formats a version from GetDllVersion (major in the low word, minor in the high
// word) as "%2d.%02d" with the major number's low 8 bits: " 5.81", "10.00".
void FormatDllVersion(DWORD version, char (&text)[16]);

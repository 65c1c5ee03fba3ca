// The About box: versions, the automatic close, and its link controls (colours,
// underline, cursor, and what a click hands to the shell).
#include <gtest/gtest.h>

#include <shlwapi.h>
#include <stdio.h>

#include <memory>
#include <string>

#include "AboutDlg.h"
#include "StaticLink.h"
#include "DialogDriver.h"
#include "TestContract.h"
#include "TestSupport.h"
#include "WindowControls.h"
#include "resource-dialogs.h"

namespace {

const char kCaption[] = "About Tolvard";
using contract::kClassKey;
using namespace testsupport;

// The class registration that tells where Tolvane is; removed again afterwards.
class Registration {
public:
    explicit Registration(const std::string& path) {
        testsupport::SetRegString(HKEY_CLASSES_ROOT, contract::kServerKey, "", path);
    }
    ~Registration() { testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kClassKey); }
};

// The version a library reports, asked here directly: "%2d.%02d", or " 0.00".
std::string ExpectedVersion(const char* library) {
    DWORD major = 0, minor = 0;
    if (HMODULE module = LoadLibraryA(library)) {
        auto entry = reinterpret_cast<DLLGETVERSIONPROC>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof info;
        if (entry && entry(&info) >= 0) {
            major = info.dwMajorVersion & 0xFF;
            minor = info.dwMinorVersion & 0xFFFF;
        }
        FreeLibrary(module);
    }
    char text[16];
    snprintf(text, sizeof text, "%2lu.%02lu", static_cast<unsigned long>(major), static_cast<unsigned long>(minor));
    return text;
}

struct AboutShown {
    std::string program, tolvane, comctl, web, mail;
};

// Runs the About box with the program's links; `act` sees the open dialog and
// returns true once it has closed it (or wants it closed with OK).
template <class Act>
INT_PTR RunAbout(testsupport::Caller caller, UINT closeTime, Act act) {
    CAboutDialog dialog(kAboutLinks, kAboutLinkCount, closeTime);
    DialogDriver driver(caller, DialogDriver::Titled(kCaption, "#32770"), [&](HWND hDlg) { return act(hDlg); },
                        12000);
    return dialog.DoModal();
}

CStaticLink* LinkOf(HWND dialog, int id) {
    CWnd* control = CWnd::FromHandlePermanent(GetDlgItem(dialog, id));
    return DYNAMIC_DOWNCAST(CStaticLink, control);
}

TEST(AboutBox, VersionFormat) {
    char text[16];
    FormatDllVersion(MAKELONG(5, 81), text);
    EXPECT_STREQ(" 5.81", text);
    FormatDllVersion(MAKELONG(4, 72), text);
    EXPECT_STREQ(" 4.72", text);
    FormatDllVersion(MAKELONG(10, 0), text);
    EXPECT_STREQ("10.00", text);
    FormatDllVersion(MAKELONG(0x105, 3), text);   // only the major number's low 8 bits
    EXPECT_STREQ(" 5.03", text);
    FormatDllVersion(0, text);
    EXPECT_STREQ(" 0.00", text);
}

TEST(AboutBox, ShowsTheVersionsOfTheProgramTolvaneAndTheCommonControls) {
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kClassKey);
    AboutShown unregistered, registered, unloadable;
    auto note = [](AboutShown* shown) {
        return [shown](HWND hDlg) {
            shown->program = ControlText(hDlg, IDC_PROGRAM_VERSION);
            shown->tolvane = ControlText(hDlg, IDC_TOLVANE_VERSION);
            shown->comctl = ControlText(hDlg, IDC_COMCTL_VERSION);
            shown->web = ControlText(hDlg, IDC_WEB_LINK);
            shown->mail = ControlText(hDlg, IDC_MAIL_LINK);
            PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
            return true;
        };
    };
    EXPECT_EQ(IDOK, RunAbout(TEST_HERE, 0, note(&unregistered)));
    EXPECT_EQ("1.06", unregistered.program);
    EXPECT_EQ("unknown", unregistered.tolvane);
    EXPECT_EQ(ExpectedVersion("comctl32.dll"), unregistered.comctl);
    EXPECT_EQ("www.varnoke.test", unregistered.web);   // a web address
    EXPECT_FALSE(unregistered.mail.empty());

    const std::string dll = testsupport::DistFile("Tolvane.dll");
    ASSERT_TRUE(testsupport::FileExists(dll));
    {
        Registration registration(dll);
        EXPECT_EQ(IDOK, RunAbout(TEST_HERE, 0, note(&registered)));
    }
    EXPECT_EQ(ExpectedVersion(dll.c_str()), registered.tolvane);
    {
        Registration registration("C:\\nowhere\\Tolvane.dll");
        EXPECT_EQ(IDOK, RunAbout(TEST_HERE, 0, note(&unloadable)));
    }
    EXPECT_EQ(" 0.00", unloadable.tolvane);
}

struct OtherLibraryShown {
    std::string label, otherLabel, other;
    bool otherVisible = false;
};

OtherLibraryShown ShowOtherLibrary(testsupport::Caller caller) {
    OtherLibraryShown shown;
    EXPECT_EQ(IDOK, RunAbout(caller, 0, [&shown](HWND hDlg) {
                  shown.label = ControlText(hDlg, IDC_TOLVANE_LABEL);
                  shown.otherLabel = ControlText(hDlg, IDC_OTHER_TOLVANE_LABEL);
                  shown.other = ControlText(hDlg, IDC_OTHER_TOLVANE_VERSION);
                  shown.otherVisible = IsWindowVisible(GetDlgItem(hDlg, IDC_OTHER_TOLVANE_VERSION)) != FALSE;
                  PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
                  return true;
              }));
    return shown;
}

// On 64-bit Windows (this test program is 64-bit there) the box also shows the library
// registered in the 32-bit view, which cannot be loaded here: its version resource.
TEST(AboutBox, ShowsTheLibraryOfTheOtherRegistryViewOn64BitWindows) {
    if (!testsupport::IsSixtyFourBitWindows()) GTEST_SKIP() << "a 32-bit Windows has one registry view";
    const std::string otherKey = contract::kServerKey;
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kClassKey, KEY_WOW64_32KEY);
    OtherLibraryShown unregistered = ShowOtherLibrary(TEST_HERE);
    EXPECT_EQ("Tolvane.DLL (64-bit):", unregistered.label);
    EXPECT_EQ("Tolvane.DLL (32-bit):", unregistered.otherLabel);
    EXPECT_TRUE(unregistered.otherVisible);
    EXPECT_EQ("unknown", unregistered.other);

    const std::string dll = testsupport::DistFile("Tolvane.dll");
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CLASSES_ROOT, otherKey.c_str(), "", dll, true, KEY_WOW64_32KEY));
    OtherLibraryShown registered = ShowOtherLibrary(TEST_HERE);
    // The version resource says what DllGetVersion says.
    EXPECT_EQ(ExpectedVersion(dll.c_str()), registered.other);
    EXPECT_NE(" 0.00", registered.other);

    ASSERT_TRUE(testsupport::SetRegString(HKEY_CLASSES_ROOT, otherKey.c_str(), "", "C:\\nowhere\\Tolvane.dll", true,
                                          KEY_WOW64_32KEY));
    EXPECT_EQ(" 0.00", ShowOtherLibrary(TEST_HERE).other);
    testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kClassKey, KEY_WOW64_32KEY);
}

// On 32-bit Windows (Windows 95 to the 32-bit editions of 10) there is one library,
// without a pointer size in its label, registered or not.
TEST(AboutBox, ShowsOneLibraryOn32BitWindows) {
    if (testsupport::IsSixtyFourBitWindows()) GTEST_SKIP() << "a 64-bit Windows has a second registry view";
    for (bool registeredOne : {false, true}) {
        SCOPED_TRACE(registeredOne ? "registered" : "not registered");
        testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, kClassKey);
        std::unique_ptr<Registration> registration;
        if (registeredOne) registration.reset(new Registration(testsupport::DistFile("Tolvane.dll")));
        OtherLibraryShown shown = ShowOtherLibrary(TEST_HERE);
        EXPECT_EQ("Tolvane.DLL:", shown.label);
        EXPECT_FALSE(shown.otherVisible);
    }
}

// Given a time, the box closes by itself (-1) once it is over and not before; without
// one it stays until it is answered.
TEST(AboutBox, ClosesByItselfAfterTheGivenTimeOnlyWhenOneIsGiven) {
    EXPECT_EQ(-1, RunAbout(TEST_HERE, 400, [](HWND) { return false; }));

    // Open for a second, then answered: a minute to go, or no close time at all.
    for (UINT closeTime : {60000u, 0u}) {
        SCOPED_TRACE(closeTime);
        DWORD start = GetTickCount();
        auto answerAfterASecond = [start](HWND hDlg) {
            if (GetTickCount() - start < 1000) return false;
            PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
            return true;
        };
        EXPECT_EQ(IDOK, RunAbout(TEST_HERE, closeTime, answerAfterASecond));
    }
}

TEST(AboutBox, LinksArePaintedUnderlinedInTheLinkColours) {
    COLORREF web = 0, mail = 0;
    LONG underline = 0;
    LRESULT brush = 0, plainBrush = 1;
    RunAbout(TEST_HERE, 0, [&](HWND hDlg) {
        HDC dc = CreateCompatibleDC(nullptr);
        HWND webLink = GetDlgItem(hDlg, IDC_WEB_LINK);
        brush = SendMessageA(hDlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(webLink));
        web = GetTextColor(dc);
        LOGFONTA font = {};
        GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
        underline = font.lfUnderline;
        SendMessageA(hDlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDC_MAIL_LINK)));
        mail = GetTextColor(dc);
        // A plain static of the box is no link: the dialog's own colouring.
        plainBrush = SendMessageA(hDlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDC_PROGRAM_VERSION)));
        DeleteDC(dc);
        PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
        return true;
    });
    EXPECT_EQ(RGB(0, 0, 255), web);
    EXPECT_EQ(RGB(0, 0, 255), mail);
    EXPECT_TRUE(underline);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), brush);
    EXPECT_NE(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), plainBrush);
}

TEST(AboutBox, LinkTargetsAndTheLinksEndWithTheBox) {
    std::string mailTarget, webTargetBefore;
    HWND webLink = nullptr;
    LRESULT hit = 0;
    RunAbout(TEST_HERE, 0, [&](HWND hDlg) {
        CStaticLink* mail = LinkOf(hDlg, IDC_MAIL_LINK);
        CStaticLink* web = LinkOf(hDlg, IDC_WEB_LINK);
        if (mail) mailTarget = static_cast<LPCSTR>(mail->m_target);
        if (web) webTargetBefore = static_cast<LPCSTR>(web->m_target);
        webLink = GetDlgItem(hDlg, IDC_WEB_LINK);
        hit = SendMessageA(webLink, WM_NCHITTEST, 0, 0);
        PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
        return true;
    });
    EXPECT_EQ(0u, mailTarget.find("mailto:"));   // the table's target, not the text shown
    EXPECT_EQ("", webTargetBefore);               // the web link's text becomes its target
    EXPECT_EQ(HTCLIENT, hit);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(webLink));   // gone with its window
}

// Clicks on a link whose text is a program of the test tree instead of a web address:
// the shell opens it as it would open the address, without a browser.
TEST(AboutBox, ClickOpensTheControlsTextOnceAndTurnsTheLinkPurple) {
    const std::string helper = testsupport::BinFile("link_target.exe");
    const std::string marker = testsupport::BinFile("link-opened.txt");
    DeleteFileA(marker.c_str());
    COLORREF before = 0, afterFirst = 0, afterSecond = 0;
    std::string target;
    BOOL cursorSet = FALSE;
    HCURSOR cursorShown = nullptr;
    enum { Click, WaitFirst, ClickAgain, WaitSecond, Done } phase = Click;
    DWORD since = 0;
    RunAbout(TEST_HERE, 0, [&](HWND hDlg) {
        CStaticLink* web = LinkOf(hDlg, IDC_WEB_LINK);
        if (!web) return false;
        HWND link = web->m_hWnd;
        switch (phase) {
        case Click:
            before = web->m_textColor;
            cursorSet = static_cast<BOOL>(SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                                                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
            cursorShown = GetCursor();
            SetWindowTextA(link, helper.c_str());
            SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            target = static_cast<LPCSTR>(web->m_target);
            afterFirst = web->m_textColor;
            // Later text changes do not change the target.
            SetWindowTextA(link, "C:\\nowhere\\nothing.exe");
            since = GetTickCount();
            phase = WaitFirst;
            return false;
        case WaitFirst:
            if (testsupport::ReadFileBytes(marker) != "opened\n" && GetTickCount() - since < 10000) return false;
            SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            afterSecond = web->m_textColor;
            since = GetTickCount();
            phase = WaitSecond;
            return false;
        default:
            if (testsupport::ReadFileBytes(marker) != "opened\nopened\n" && GetTickCount() - since < 10000)
                return false;
            PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
            return true;
        }
    });
    EXPECT_EQ(RGB(0, 0, 255), before);
    EXPECT_EQ(helper, target);
    EXPECT_EQ(RGB(128, 0, 128), afterFirst);
    EXPECT_EQ(RGB(128, 0, 128), afterSecond);
    EXPECT_EQ("opened\nopened\n", testsupport::ReadFileBytes(marker));
    // The hand cursor 106 of the winhlp32.exe next to the test program.
    EXPECT_NE(nullptr, CStaticLink::s_linkCursor);
    EXPECT_TRUE(cursorSet);
    EXPECT_EQ(CStaticLink::s_linkCursor, cursorShown);
    DeleteFileA(marker.c_str());

    // A new box starts with blue links again.
    COLORREF reopened = 0;
    RunAbout(TEST_HERE, 0, [&](HWND hDlg) {
        if (CStaticLink* web = LinkOf(hDlg, IDC_WEB_LINK)) reopened = web->m_textColor;
        PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
        return true;
    });
    EXPECT_EQ(RGB(0, 0, 255), reopened);
}

TEST(AboutBox, ATargetTheShellCannotOpenBeepsAndKeepsTheColour) {
    CStaticLink link("C:\\nowhere\\missing.tolvard-unknown", FALSE);
    HWND window = CreateWindowExA(0, "STATIC", "text", WS_POPUP, 0, 0, 50, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(link.SubclassWindow(window));
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(RGB(0, 0, 255), link.m_textColor);
    EXPECT_STREQ("C:\\nowhere\\missing.tolvard-unknown", link.m_target);
    DestroyWindow(window);
    EXPECT_EQ(nullptr, link.m_hWnd);
}

}  // namespace

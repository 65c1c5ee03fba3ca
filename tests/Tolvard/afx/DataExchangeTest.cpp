// Modal dialogs with data exchange in both directions, driven through real
// dialog windows and message boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AfxTestIds.h"
#include "TestApp.h"
#include "DialogDriver.h"
#include "WindowControls.h"
#include "WindowFinder.h"

namespace {

using namespace testsupport;

class CExchangeDialog : public CDialog {
public:
    CExchangeDialog() : CDialog(IDD_EXCHANGE) {}
    UINT number = 0;
    CString name;
    int flag = 0;
    int initCalls = 0;

    BOOL OnInitDialog() override {
        ++initCalls;
        return CDialog::OnInitDialog();
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_NUMBER, number);
        DDV_MinMaxUInt(pDX, number, 10, 20);
        DDX_Check(pDX, IDC_FLAG, flag);
        DDX_Text(pDX, IDC_NAME, name);
    }
};

TEST(DataExchange, MembersGoIntoTheControlsAndComeBackOnOK) {
    CExchangeDialog dialog;
    dialog.number = 15;
    dialog.name = "first";
    dialog.flag = 1;
    std::string shownNumber, shownName;
    LRESULT shownCheck = -1;
    bool focusOnOK = false;
    DialogDriver driver(TEST_HERE, DialogDriver::Titled("Exchange", "#32770"), [&](HWND hDlg) {
        shownNumber = ControlText(hDlg, IDC_NUMBER);
        shownName = ControlText(hDlg, IDC_NAME);
        shownCheck = SendDlgItemMessageA(hDlg, IDC_FLAG, BM_GETCHECK, 0, 0);
        focusOnOK = GetFocus() == GetDlgItem(hDlg, IDOK);
        SetDlgItemTextA(hDlg, IDC_NUMBER, " 12 ");
        SetDlgItemTextA(hDlg, IDC_NAME, "second");
        SendDlgItemMessageA(hDlg, IDC_FLAG, BM_SETCHECK, BST_UNCHECKED, 0);
        PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
        return true;
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, dialog.initCalls);
    EXPECT_EQ("15", shownNumber);
    EXPECT_EQ("first", shownName);
    EXPECT_EQ(BST_CHECKED, shownCheck);
    EXPECT_TRUE(focusOnOK);   // the first tab stop
    EXPECT_EQ(12u, dialog.number);
    EXPECT_STREQ("second", dialog.name);
    EXPECT_EQ(0, dialog.flag);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(DataExchange, BadNumbersAreRefusedWithAMessageAndTheFocusBack) {
    CExchangeDialog dialog;
    dialog.number = 15;
    dialog.name = "kept";
    const std::vector<std::string> inputs = {"abc", "25", "-1", "4294967296", "", "9", "20"};
    std::vector<std::string> messages;
    std::vector<bool> focusBack, stillOpen;
    size_t next = 0;
    enum { Type, WaitBox, WaitFocus } phase = Type;
    // The dialog is handed to the driver on every tick (it is never done with it); the
    // boxes it opens over it are looked for here. A stuck dialog is closed after 9 s.
    DialogDriver driver(TEST_HERE, DialogDriver::Titled("Exchange", "#32770"), [&](HWND hDlg) {
        HWND box = FindThreadWindow("AfxTest");
        switch (phase) {
        case Type:
            SetDlgItemTextA(hDlg, IDC_NUMBER, inputs[next].c_str());
            SetDlgItemTextA(hDlg, IDC_NAME, "changed");
            SetFocus(GetDlgItem(hDlg, IDC_NAME));
            PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
            phase = WaitBox;
            ++next;
            return false;
        case WaitBox:   // after the last (good) number the dialog closes instead
            if (!box) return false;
            messages.push_back(MessageBoxText(box));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            phase = WaitFocus;
            return false;
        case WaitFocus:
            if (box) return false;
            focusBack.push_back(GetFocus() == GetDlgItem(hDlg, IDC_NUMBER));
            stillOpen.push_back(IsWindowVisible(hDlg) != FALSE);
            phase = Type;
            return false;
        }
        return false;
    }, 9000);
    EXPECT_EQ(IDOK, dialog.DoModal());
    const std::vector<std::string> expected = {
        "Please enter a positive integer.",           "Please enter an integer between 10 and 20.",
        "Please enter a positive integer.",           "Please enter a positive integer.",
        "Please enter a positive integer.",           "Please enter an integer between 10 and 20."};
    EXPECT_EQ(expected, messages);
    EXPECT_EQ(std::vector<bool>(6, true), focusBack);
    EXPECT_EQ(std::vector<bool>(6, true), stillOpen);
    EXPECT_EQ(20u, dialog.number);
    EXPECT_STREQ("changed", dialog.name);
}

TEST(DataExchange, CancelLeavesTheMembers) {
    CExchangeDialog dialog;
    dialog.number = 11;
    dialog.name = "same";
    DialogDriver driver(TEST_HERE, DialogDriver::Titled("Exchange", "#32770"), [&](HWND hDlg) {
        SetDlgItemTextA(hDlg, IDC_NUMBER, "abc");
        SetDlgItemTextA(hDlg, IDC_NAME, "other");
        PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(11u, dialog.number);
    EXPECT_STREQ("same", dialog.name);
}

TEST(DataExchange, MissingTemplateFailsWithMinusOne) {
    CDialog dialog(4711);
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

// A control object on the heap that deletes itself after its window is gone.
class CSelfDeletingStatic : public CStatic {
public:
    explicit CSelfDeletingStatic(bool* deleted) : deleted_(deleted) {}
    ~CSelfDeletingStatic() override { *deleted_ = true; }
    void PostNcDestroy() override { delete this; }
    HBRUSH CtlColor(HDC hDC, UINT) {
        SetTextColor(hDC, RGB(1, 2, 3));
        return static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    }

private:
    bool* deleted_;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfDeletingStatic, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CSubclassingDialog : public CDialog {
public:
    explicit CSubclassingDialog(bool* deleted) : CDialog(IDD_EXCHANGE), deleted_(deleted) {}
    CWnd* control = nullptr;
    BOOL OnInitDialog() override {
        control = new CSelfDeletingStatic(deleted_);
        subclassed = control->SubclassDlgItem(IDC_FLAG, this);
        return CDialog::OnInitDialog();
    }
    BOOL subclassed = FALSE;

private:
    bool* deleted_;
};

TEST(DataExchange, SubclassedControlGetsItsColourRequestAndDeletesItselfWithTheDialog) {
    bool deleted = false;
    CSubclassingDialog dialog(&deleted);
    LRESULT brush = 0;
    COLORREF colour = 0;
    DialogDriver driver(TEST_HERE, DialogDriver::Titled("Exchange", "#32770"), [&](HWND hDlg) {
        HDC dc = CreateCompatibleDC(nullptr);
        brush = SendMessageA(hDlg, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDC_FLAG)));
        colour = GetTextColor(dc);
        DeleteDC(dc);
        PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    dialog.DoModal();
    EXPECT_TRUE(dialog.subclassed);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)), brush);
    EXPECT_EQ(RGB(1, 2, 3), colour);
    EXPECT_TRUE(deleted);
}

}  // namespace

namespace {

TEST(ModalLoop, ThreadMessagesReachTheApplicationWhileADialogRuns) {
    theTestApp.pings = 0;
    CExchangeDialog dialog;
    int pingsSeen = -1;
    int step = 0;
    DialogDriver driver(TEST_HERE, DialogDriver::Titled("Exchange", "#32770"), [&](HWND hDlg) {
        if (step++ == 0) {
            PostThreadMessageA(GetCurrentThreadId(), WM_USER + 1, 3, 4);
            return false;
        }
        pingsSeen = theTestApp.pings;
        PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(1, pingsSeen);
    EXPECT_EQ(3u, theTestApp.pingWParam);
}

}  // namespace

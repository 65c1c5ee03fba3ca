// The options dialog: what it reads, what it shows, what it refuses and what it stores.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "OptionsDlg.h"
#include "DialogDriver.h"
#include "ShellextTestSupport.h"
#include "TestContract.h"
#include "TestSupport.h"
#include "WindowControls.h"
#include "WindowFinder.h"
#include "resource-dialogs.h"

namespace {

using contract::kTolvaneKey;
using namespace testsupport;

const char kCaption[] = "Notavell Options";

struct Shown {
    std::string width, name;
    LRESULT ansi = -1;
    bool focusOnOK = false;
};

// Opens the dialog, notes what it shows, lets `edit` change the controls, then
// presses `button`. Returns DoModal's result.
template <class Edit>
INT_PTR RunOptions(testsupport::Caller caller, Shown* shown, Edit edit, int button = IDOK) {
    COptionsDialog dialog;
    DialogDriver driver(caller, DialogDriver::Titled(kCaption, "#32770"), [&](HWND hDlg) {
        // Wine does not always activate a new dialog of a program that has no
        // window in front; a user's click would. Until then nothing has the focus.
        if (GetActiveWindow() != hDlg) {
            SetActiveWindow(hDlg);
            return false;
        }
        shown->width = ControlText(hDlg, IDC_CONTEXT_WIDTH);
        shown->name = ControlText(hDlg, IDC_COLUMN_NAME);
        shown->ansi = SendDlgItemMessageA(hDlg, IDC_ANSI, BM_GETCHECK, 0, 0);
        shown->focusOnOK = GetFocus() == GetDlgItem(hDlg, IDOK);
        edit(hDlg);
        PostMessageA(hDlg, WM_COMMAND, button, 0);
        return true;
    });
    return dialog.DoModal();
}

void ExpectStored(const std::string& name, DWORD width, const char* ansi) {
    std::string data;
    DWORD type = 0;
    ASSERT_TRUE(testsupport::ReadRegValue(HKEY_CURRENT_USER, kTolvaneKey, contract::kColumnName, &data, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    ASSERT_EQ(100u, data.size());   // always a data length of 100 bytes
    EXPECT_EQ(name, std::string(data.c_str()));
    ASSERT_TRUE(testsupport::ReadRegValue(HKEY_CURRENT_USER, kTolvaneKey, contract::kContextWidth, &data, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&width), 4), data);
    ASSERT_TRUE(testsupport::ReadRegValue(HKEY_CURRENT_USER, kTolvaneKey, contract::kAnsi, &data, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(std::string(ansi, 2), data);
}

// The defaults are those the column, the menu and the store use while nothing is stored.
TEST(OptionsDialog, FirstOpeningShowsTheDefaultsAndOKStoresAllThree) {
    testsupport::CleanSettings clean;
    Shown shown;
    EXPECT_EQ(IDOK, RunOptions(TEST_HERE, &shown, [](HWND) {}));
    EXPECT_EQ("1024", shown.width);
    EXPECT_EQ("Description", shown.name);
    EXPECT_EQ(BST_CHECKED, shown.ansi);
    EXPECT_TRUE(shown.focusOnOK);
    ExpectStored("Description", 1024, "1");
}

TEST(OptionsDialog, StoredValuesAreShownAsTheColumnReadsThem) {
    testsupport::CleanSettings clean;
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kColumnName, "Notiz"));
    ASSERT_TRUE(testsupport::SetRegDword(HKEY_CURRENT_USER, kTolvaneKey, contract::kContextWidth, 40));
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kAnsi, "0"));
    Shown shown;
    EXPECT_EQ(IDOK, RunOptions(TEST_HERE, &shown, [](HWND) {}));
    EXPECT_EQ("40", shown.width);
    EXPECT_EQ("Notiz", shown.name);
    EXPECT_EQ(BST_UNCHECKED, shown.ansi);
    ExpectStored("Notiz", 40, "0");

    // A title that reads "unknown" is the column's title like any other.
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kColumnName, "unknown"));
    EXPECT_EQ(IDOK, RunOptions(TEST_HERE, &shown, [](HWND) {}));
    EXPECT_EQ("unknown", shown.name);
    ExpectStored("unknown", 40, "0");

    // Stored without its terminator: read up to the data's end, nothing more.
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kColumnName, "Ab", false));
    EXPECT_EQ(IDCANCEL, RunOptions(TEST_HERE, &shown, [](HWND) {}, IDCANCEL));
    EXPECT_EQ("Ab", shown.name);
}

// The context-menu entry of the built Tolvane.dll for the file, as Explorer gets it.
std::string MenuEntry(const std::string& file) {
    shellext::Ref<IDataObject> data(shellext::MakeFileDataObject({file}));
    shellext::Ref<IContextMenu> menu;
    shellext::Ref<IShellExtInit> init;
    if (!data || FAILED(shellext::CreateExtension(IID_IContextMenu, menu.OutVoid())) ||
        FAILED(menu->QueryInterface(IID_IShellExtInit, init.OutVoid())) ||
        FAILED(init->Initialize(nullptr, data.Get(), nullptr)))
        return "<no extension>";
    HMENU popup = CreatePopupMenu();
    menu->QueryContextMenu(popup, 0, 1, 10, CMF_NORMAL);
    char text[4096] = "<no entry>";
    GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
    DestroyMenu(popup);
    return text;
}

// Options -> OK without an edit changes nothing the library shows: the menu entry keeps
// its width and its code page, whatever was stored.
TEST(OptionsDialog, OKWithoutAnEditLeavesTheMenuEntryAsItWas) {
    shellext::Apartment apartment;
    shellext::RegisteredServer server;
    ASSERT_TRUE(server.Ok());
    testsupport::TempFolder folder;
    const std::string file = folder.File("report.txt");
    ASSERT_TRUE(testsupport::WriteFileBytes(file, "x"));
    // Longer than any width the menu takes; 0x82 is an e acute in the OEM code page.
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File("DESCRIPT.ION"),
                                            "report.txt Caf\x82 " + std::string(1100, 'w') + "\r\n"));
    auto width = [](DWORD value) {
        return [value] { testsupport::SetRegDword(HKEY_CURRENT_USER, kTolvaneKey, contract::kContextWidth, value); };
    };
    auto text = [](const char* value, const char* data) {
        return [=] { testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, value, data); };
    };
    const struct {
        const char* stored;
        std::function<void()> store;
    } cases[] = {
        {"nothing", [] {}},
        {"ContextBreite 0", width(0)},
        {"ContextBreite 40", width(40)},
        {"ContextBreite \"9\", 57 to the menu", text(contract::kContextWidth, "9")},
        {"Ansi \"0\"", text(contract::kAnsi, "0")},
        // Four bytes without a zero: not a text the writers make, so ANSI to the store.
        {"Ansi 0abc", [] { testsupport::SetRegBinary(HKEY_CURRENT_USER, kTolvaneKey, contract::kAnsi, "0abc", 4); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        testsupport::CleanSettings clean;
        c.store();
        const std::string before = MenuEntry(file);
        ASSERT_EQ('"', before[0]) << before;
        Shown shown;
        EXPECT_EQ(IDOK, RunOptions(TEST_HERE, &shown, [](HWND) {}));
        EXPECT_EQ(before, MenuEntry(file));
    }
}

TEST(OptionsDialog, EditedValuesAreStoredAndLongNamesCutTo99Characters) {
    testsupport::CleanSettings clean;
    const std::string longName(150, 'x');
    Shown shown;
    EXPECT_EQ(IDOK, RunOptions(TEST_HERE, &shown, [&](HWND hDlg) {
        SetDlgItemTextA(hDlg, IDC_CONTEXT_WIDTH, "1024");
        SetDlgItemTextA(hDlg, IDC_COLUMN_NAME, longName.c_str());
        SendDlgItemMessageA(hDlg, IDC_ANSI, BM_SETCHECK, BST_UNCHECKED, 0);
    }));
    ExpectStored(std::string(99, 'x'), 1024, "0");
}

TEST(OptionsDialog, CancelStoresNothing) {
    testsupport::CleanSettings clean;
    Shown shown;
    EXPECT_EQ(IDCANCEL, RunOptions(TEST_HERE, &shown, [](HWND hDlg) {
        SetDlgItemTextA(hDlg, IDC_CONTEXT_WIDTH, "12");
        SetDlgItemTextA(hDlg, IDC_COLUMN_NAME, "Edited");
    }, IDCANCEL));
    std::string data;
    EXPECT_FALSE(testsupport::ReadRegValue(HKEY_CURRENT_USER, kTolvaneKey, contract::kColumnName, &data));
    EXPECT_FALSE(testsupport::ReadRegValue(HKEY_CURRENT_USER, kTolvaneKey, contract::kContextWidth, &data));
    EXPECT_FALSE(testsupport::ReadRegValue(HKEY_CURRENT_USER, kTolvaneKey, contract::kAnsi, &data));
}

TEST(OptionsDialog, OutOfRangeAndTextAreRefusedWithTheFocusBackOnTheNumber) {
    testsupport::CleanSettings clean;
    COptionsDialog dialog;
    const std::vector<std::string> inputs = {"1025", "many", "0"};
    std::vector<std::string> messages;
    std::vector<bool> focusBack;
    std::string storedBeforeGoodInput = "unset";
    size_t next = 0;
    int phase = 0;
    // The dialog is handed to the driver on every tick (it is never done with it);
    // the box it opens over it is looked for here. A stuck dialog is closed after 9 s.
    DialogDriver driver(TEST_HERE, DialogDriver::Titled(kCaption, "#32770"), [&](HWND hDlg) {
        HWND box = FindThreadWindow("Tolvard");
        if (phase == 0) {
            if (next == inputs.size() - 1) {
                std::string data;
                storedBeforeGoodInput = testsupport::ReadRegValue(HKEY_CURRENT_USER, kTolvaneKey,
                                                                  contract::kContextWidth, &data) ? "stored" : "none";
            }
            SetDlgItemTextA(hDlg, IDC_CONTEXT_WIDTH, inputs[next++].c_str());
            SetDlgItemTextA(hDlg, IDC_COLUMN_NAME, "Kommentar");
            PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
            phase = 1;
        } else if (phase == 1 && box) {
            messages.push_back(MessageBoxText(box));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            phase = 2;
        } else if (phase == 2 && !box) {
            focusBack.push_back(GetFocus() == GetDlgItem(hDlg, IDC_CONTEXT_WIDTH));
            phase = 0;
        }
        return false;
    }, 9000);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ((std::vector<std::string>{"Please enter an integer between 0 and 1024.",
                                        "Please enter a positive integer."}),
              messages);
    EXPECT_EQ(std::vector<bool>(2, true), focusBack);
    EXPECT_EQ("none", storedBeforeGoodInput);   // nothing stored while refused
    ExpectStored("Kommentar", 0, "1");
}

}  // namespace

// The edit dialog opened from the context-menu entry and driven like a user:
// the test types into its fields and presses its buttons, then reads the
// description file and the setting "Ansi".
#include <gtest/gtest.h>

#include <string>

#include "DialogDriving.h"
#include "ShellextTestSupport.h"
#include "TestSupport.h"

using namespace shellext;
using testsupport::CleanSettings;
using testsupport::TempFolder;

namespace {


std::string ShortNameOf(const std::string& path) {
    char shortPath[2000] = "";
    if (!GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath)) return std::string();
    const char* slash = strrchr(shortPath, '\\');
    return slash ? slash + 1 : shortPath;
}

std::string AnsiSetting() {
    std::string value;
    if (!testsupport::ReadRegValue(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kAnsi, &value)) return "(none)";
    return value;
}

class EditDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ok());
        ASSERT_FALSE(folder_.Path().empty());
        ASSERT_EQ(S_OK, CreateExtension(IID_IContextMenu, menu_.OutVoid()));
    }

    std::string MakeFile(const std::string& name) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(testsupport::WriteFileBytes(path, "content"));
        return path;
    }

    void Describe(const std::string& lines) {
        ASSERT_TRUE(testsupport::WriteFileBytes(folder_.File("DESCRIPT.ION"), lines));
    }

    // Selects the file (through Wine's shell), picks the menu entry and lets
    // drive work the dialog, which it must close.
    void OpenDialog(const std::string& path, const std::function<void(HWND)>& drive) {
        Ref<IShellExtInit> init;
        ASSERT_EQ(S_OK, menu_->QueryInterface(IID_IShellExtInit, init.OutVoid()));
        Ref<IDataObject> data(MakeFileDataObject({path}));
        ASSERT_TRUE(data);
        ASSERT_EQ(S_OK, init->Initialize(nullptr, data.Get(), nullptr));
        HMENU menu = CreatePopupMenu();
        ASSERT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1), menu_->QueryContextMenu(menu, 0, 1, 10, CMF_NORMAL));
        DestroyMenu(menu);
        HRESULT result = E_FAIL;
        CMINVOKECOMMANDINFO info = {sizeof info};
        info.lpVerb = MAKEINTRESOURCEA(0);
        EXPECT_TRUE(DriveModalWindow(TEST_HERE, "Notavell", [&] { result = menu_->InvokeCommand(&info); }, drive));
        EXPECT_EQ(S_OK, result);
    }

    Apartment apartment_;
    RegisteredServer server_;
    CleanSettings settings_;
    TempFolder folder_;
    Ref<IContextMenu> menu_;
};

TEST_F(EditDialogTest, TemplateHoldsEveryControlInOrder) {
    const std::string path = MakeFile("README.TXT");
    Describe("README.TXT Read me first\r\n");
    OpenDialog(path, [&](HWND dialog) {
        EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                  GetWindowLongA(dialog, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
        RECT client;
        GetClientRect(dialog, &client);
        RECT units = {0, 0, 270, 273};
        MapDialogRect(dialog, &units);
        EXPECT_EQ(units.right, client.right);
        EXPECT_EQ(units.bottom, client.bottom);
        ExpectControls(dialog, {
            {1001, "Edit", "Read me first", {24, 97, 219, 12}, true, true},
            {1004, "Edit", "", {24, 165, 219, 12}, false, true},
            {1003, "Button", "ANSI font", {195, 35, 48, 12}, true, true},
            {1008, "Button", "long name as short description", {137, 126, 106, 13}, false, true},
            {1, "Button", "OK", {135, 237, 50, 14}, true, true},
            {2, "Button", "Cancel", {193, 237, 50, 14}, true, true},
            {-1, "Static", "Description:", {24, 86, 96, 11}, true, false},
            {-1, "Static", "Path:", {24, 60, 24, 8}, true, false},
            {1002, "Static", "README.TXT", {47, 73, 192, 8}, true, false},
            {-1, "Static", kLegend, {24, 187, 160, 19}, true, false},
            {1013, "Static", "Description:", {24, 154, 45, 11}, false, false},
            {1014, "Static", "Name:", {24, 142, 19, 8}, false, false},
            {1007, "Static", "README.TXT", {47, 142, 193, 8}, false, false},
            {1015, "Button", "Short file name", {18, 118, 232, 64}, false, false},
            {-1, "Button", "Long file name", {18, 45, 232, 68}, true, false},
            {1017, "Static", nullptr, {24, 207, 76, 8}, true, false},
            {-1, "Static", "Version", {198, 215, 26, 9}, true, false},
            {1009, "Static", "1.13", {226, 215, 19, 8}, true, false},
            {1012, "SysTabControl32", "Description", {7, 7, 256, 259}, false, false},
            {-1, "Static", "Name:", {24, 73, 21, 8}, true, false},
            {1005, "Static", (folder_.Path() + "\\").c_str(), {47, 60, 192, 8}, true, false},
            {1016, "Static", nullptr, {24, 216, 84, 8}, true, false},
            {1018, "Static", "", {122, 86, 121, 10}, true, false},
            {1019, "Static", "", {72, 154, 171, 10}, true, false},
        });
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 1018)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 1019)));
        EXPECT_EQ(static_cast<LONG>(BS_AUTOCHECKBOX | BS_LEFTTEXT),
                  GetWindowLongA(GetDlgItem(dialog, 1003), GWL_STYLE) & (BS_TYPEMASK | BS_LEFTTEXT));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, 1003));
        EXPECT_EQ(GetDlgItem(dialog, 1001), GetFocus());
        EXPECT_EQ("MS Sans Serif", FontFace(dialog));
        ClickButtonBySend(dialog, IDCANCEL);
    });
}

TEST_F(EditDialogTest, EightDotThreeNameStoresOnlyTheLongName) {
    const std::string path = MakeFile("README.TXT");
    OpenDialog(path, [&](HWND dialog) {
        EXPECT_EQ("", ControlText(dialog, 1001));
        EXPECT_EQ("README.TXT", ControlText(dialog, 1007));
        for (int id : {1008, 1004, 1015, 1013, 1014, 1007}) EXPECT_FALSE(ItemEnabled(dialog, id)) << id;
        TypeInto(dialog, 1001, "Read me first");
        ClickButtonBySend(dialog, IDOK);
    });
    EXPECT_EQ("README.TXT Read me first\r\n", DescriptionFile(folder_.Path()));
    EXPECT_EQ(std::string("1\0", 2), AnsiSetting());
}

TEST_F(EditDialogTest, LongNameWithDifferentShortNameEditsBothEntries) {
    const std::string path = MakeFile("Annual Report 2003.doc");
    const std::string shortName = ShortNameOf(path);
    ASSERT_FALSE(shortName.empty());
    ASSERT_NE("Annual Report 2003.doc", shortName);
    RecordProperty("WineShortName", shortName);
    Describe(shortName + " old short text\r\n");
    OpenDialog(path, [&](HWND dialog) {
        EXPECT_EQ("Annual Report 2003.doc", ControlText(dialog, 1002));
        EXPECT_EQ(shortName, ControlText(dialog, 1007));
        EXPECT_EQ("", ControlText(dialog, 1001));
        EXPECT_EQ("old short text", ControlText(dialog, 1004));
        for (int id : {1008, 1004, 1015, 1013, 1014, 1007}) EXPECT_TRUE(ItemEnabled(dialog, id)) << id;
        TypeInto(dialog, 1001, "Budget 2003");
        ClickButtonBySend(dialog, 1008);
        EXPECT_EQ("Annual Report 2003.doc", ControlText(dialog, 1004));
        // Copying the name stores nothing by itself.
        EXPECT_EQ(shortName + " old short text\r\n", DescriptionFile(folder_.Path()));
        ClickButtonBySend(dialog, IDOK);
    });
    EXPECT_EQ(shortName + " Annual Report 2003.doc\r\n\"Annual Report 2003.doc\" Budget 2003\r\n",
              DescriptionFile(folder_.Path()));
}

TEST_F(EditDialogTest, EmptiedFieldsDeleteTheirEntries) {
    const std::string path = MakeFile("Annual Report 2003.doc");
    const std::string shortName = ShortNameOf(path);
    Describe("keep.txt stays\r\n\"Annual Report 2003.doc\" long text\r\n" + shortName + " short text\r\n");
    OpenDialog(path, [&](HWND dialog) {
        EXPECT_EQ("long text", ControlText(dialog, 1001));
        EXPECT_EQ("short text", ControlText(dialog, 1004));
        TypeInto(dialog, 1004, "");
        ClickButtonBySend(dialog, IDOK);
    });
    EXPECT_EQ("keep.txt stays\r\n\"Annual Report 2003.doc\" long text\r\n", DescriptionFile(folder_.Path()));
    Describe("keep.txt stays\r\n\"Annual Report 2003.doc\" long text\r\n" + shortName + " short text\r\n");
    OpenDialog(path, [&](HWND dialog) {
        TypeInto(dialog, 1001, "");
        TypeInto(dialog, 1004, "");
        ClickButtonBySend(dialog, IDOK);
    });
    EXPECT_EQ("keep.txt stays\r\n", DescriptionFile(folder_.Path()));
}

TEST_F(EditDialogTest, CancelStoresNothingNotEvenTheCheckBox) {
    const std::string path = MakeFile("notes.txt");
    Describe("notes.txt as before\r\n");
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kAnsi, "1"));
    OpenDialog(path, [&](HWND dialog) {
        TypeInto(dialog, 1001, "changed");
        ClickButtonBySend(dialog, 1003);
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, 1003));
        ClickButtonBySend(dialog, IDCANCEL);
    });
    EXPECT_EQ("notes.txt as before\r\n", DescriptionFile(folder_.Path()));
    EXPECT_EQ(std::string("1\0", 2), AnsiSetting());
    // The close box sends Cancel as well.
    OpenDialog(path, [&](HWND dialog) {
        TypeInto(dialog, 1001, "changed");
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ("notes.txt as before\r\n", DescriptionFile(folder_.Path()));
}

TEST_F(EditDialogTest, UncheckedAnsiFontIsStoredFirstAndTheFileIsWrittenInOem) {
    const std::string path = MakeFile("cafe.txt");
    OpenDialog(path, [&](HWND dialog) {
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, 1003));
        TypeInto(dialog, 1001, "caf\xe9");
        ClickButtonBySend(dialog, 1003);
        ClickButtonBySend(dialog, IDOK);
    });
    EXPECT_EQ(std::string("0\0", 2), AnsiSetting());
    EXPECT_EQ("cafe.txt caf\x82\r\n", DescriptionFile(folder_.Path()));
    OpenDialog(path, [&](HWND dialog) {
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, 1003));
        EXPECT_EQ("caf\xe9", ControlText(dialog, 1001));
        ClickButtonBySend(dialog, 1003);
        ClickButtonBySend(dialog, IDOK);
    });
    EXPECT_EQ(std::string("1\0", 2), AnsiSetting());
    EXPECT_EQ("cafe.txt caf\xe9\r\n", DescriptionFile(folder_.Path()));
}

TEST_F(EditDialogTest, NameThatIsItsOwnShortNameInAnotherCaseCountsAsEqual) {
    const std::string path = MakeFile("Readme.txt");
    const std::string shortName = ShortNameOf(path);
    RecordProperty("WineShortNameOfReadme", shortName);
    // Wine hands back a valid 8.3 name as it stands; Windows may give README.TXT.
    ASSERT_EQ(0, lstrcmpiA(shortName.c_str(), "Readme.txt"));
    OpenDialog(path, [&](HWND dialog) {
        EXPECT_EQ(0, lstrcmpiA(ControlText(dialog, 1007).c_str(), "Readme.txt"));
        for (int id : {1008, 1004, 1015, 1013, 1014, 1007}) EXPECT_FALSE(ItemEnabled(dialog, id)) << id;
        TypeInto(dialog, 1001, "Mixed case");
        ClickButtonBySend(dialog, IDOK);
    });
    EXPECT_EQ("Readme.txt Mixed case\r\n", DescriptionFile(folder_.Path()));
}

TEST_F(EditDialogTest, FileGoneBeforeTheDialogOpensCountsAsNoShortName) {
    const std::string path = MakeFile("Vanishing Report.doc");
    Ref<IShellExtInit> init;
    ASSERT_EQ(S_OK, menu_->QueryInterface(IID_IShellExtInit, init.OutVoid()));
    Ref<IDataObject> data(MakeFileDataObject({path}));
    ASSERT_TRUE(data);
    ASSERT_EQ(S_OK, init->Initialize(nullptr, data.Get(), nullptr));
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    CMINVOKECOMMANDINFO info = {sizeof info};
    EXPECT_TRUE(DriveModalWindow(TEST_HERE, "Notavell", [&] { menu_->InvokeCommand(&info); }, [&](HWND dialog) {
        EXPECT_EQ("Vanishing Report.doc", ControlText(dialog, 1007));
        for (int id : {1008, 1004, 1015, 1013, 1014, 1007}) EXPECT_FALSE(ItemEnabled(dialog, id)) << id;
        TypeInto(dialog, 1001, "still described");
        ClickButtonBySend(dialog, IDOK);
    }));
    EXPECT_EQ("\"Vanishing Report.doc\" still described\r\n", DescriptionFile(folder_.Path()));
}

// OK while a reader keeps the description file for longer than a writer waits:
// the dialog says the description could not be saved and stays open with the
// text; OK once the reader is gone stores it.
TEST_F(EditDialogTest, OkThatCannotStoreSaysSoAndKeepsTheText) {
    const std::string path = MakeFile("README.TXT");
    Describe("README.TXT old\r\n");
    HANDLE reader = CreateFileA(folder_.File("DESCRIPT.ION").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    OpenDialog(path, [&](HWND dialog) {
        TypeInto(dialog, 1001, "new text");
        const std::vector<std::string> said = PressAndReadNotSaved(TEST_HERE, dialog, IDOK);
        ASSERT_EQ(1u, said.size());
        EXPECT_NE(std::string::npos, said[0].find("could not be saved")) << said[0];
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ("new text", ControlText(dialog, 1001));
        EXPECT_EQ("README.TXT old\r\n", DescriptionFile(folder_.Path()));
        CloseHandle(reader);
        EXPECT_TRUE(PressAndReadNotSaved(TEST_HERE, dialog, IDOK).empty());
    });
    EXPECT_EQ("README.TXT new text\r\n", DescriptionFile(folder_.Path()));
}

}  // namespace

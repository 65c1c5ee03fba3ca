// The "Description" property page in real comctl32 property sheets: one made by
// the test from the pages AddPages hands over, and the properties dialog of
// Wine's own shell, which loads our class as a property-sheet handler.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <iostream>
#include <string>
#include <vector>

#include "DialogDriving.h"
#include "ShellextTestSupport.h"
#include "TestSupport.h"

using namespace shellext;
using testsupport::CleanSettings;
using testsupport::TempFolder;

namespace {

const char kSheetTitle[] = "Tolvane page test";
const int kApply = 0x3021;

BOOL CALLBACK RefusePage(HPROPSHEETPAGE page, LPARAM calls) {
    ++*reinterpret_cast<int*>(calls);
    return FALSE;
}

// The reference count of a COM object, read by one AddRef and Release.
ULONG CountOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// As the sheet of Windows sends it for every key message (Wine's does not).
void SendKeyNotification(HWND sheet, HWND page) {
    MSG key = {GetDlgItem(page, 1001), WM_KEYDOWN, 'A', 0};
    PSHNOTIFY notify = {};
    notify.hdr.hwndFrom = sheet;
    notify.hdr.code = static_cast<UINT>(PSN_TRANSLATEACCELERATOR);
    notify.lParam = reinterpret_cast<LPARAM>(&key);
    SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
}

class PropertyPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ok());
        ASSERT_FALSE(folder_.Path().empty());
        ASSERT_EQ(S_OK, CreateExtension(IID_IShellPropSheetExt, sheetExt_.OutVoid()));
        ASSERT_EQ(S_OK, sheetExt_->QueryInterface(IID_IShellExtInit, init_.OutVoid()));
    }

    std::string MakeFile(const std::string& name) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(testsupport::WriteFileBytes(path, "content"));
        return path;
    }

    void Describe(const std::string& lines) {
        ASSERT_TRUE(testsupport::WriteFileBytes(folder_.File("DESCRIPT.ION"), lines));
    }

    void Select(const std::vector<std::string>& paths) {
        Ref<IDataObject> data(MakeFileDataObject(paths));
        ASSERT_TRUE(data);
        ASSERT_EQ(S_OK, init_->Initialize(nullptr, data.Get(), nullptr));
    }

    // Shows the pages of AddPages in a modal sheet of the test's own; drive gets
    // the sheet and our page (the first one) and must close the sheet.
    void ShowSheet(const std::function<void(HWND sheet, HWND page)>& drive) {
        EXPECT_TRUE(ShowPageInSheet(TEST_HERE, sheetExt_.Get(), kSheetTitle, drive));
    }

    Apartment apartment_;
    RegisteredServer server_;
    CleanSettings settings_;
    TempFolder folder_;
    Ref<IShellPropSheetExt> sheetExt_;
    Ref<IShellExtInit> init_;
};

TEST_F(PropertyPageTest, PageHoldsTheFieldsOfTheEditDialogInShellFont) {
    const std::string path = MakeFile("README.TXT");
    Describe("README.TXT Read me first\r\n");
    Select({path});
    ShowSheet([&](HWND sheet, HWND page) {
        ASSERT_NE(nullptr, page);
        const std::vector<std::string> titles = TabTitles(sheet);
        ASSERT_FALSE(titles.empty());
        EXPECT_EQ("Description", titles[0]);
        EXPECT_EQ("MS Shell Dlg", FontFace(page));
        EXPECT_FALSE(ItemEnabled(sheet, kApply));
        ExpectControls(page, {
            {1001, "Edit", "Read me first", {11, 73, 219, 12}, true, true},
            {1004, "Edit", "", {11, 141, 219, 12}, false, true},
            {1003, "Button", "ANSI font", {182, 11, 48, 12}, true, true},
            {1008, "Button", "long name as short description", {124, 102, 106, 13}, false, true},
            {-1, "Static", "Description:", {11, 62, 96, 11}, true, false},
            {-1, "Static", "Path:", {11, 37, 21, 8}, true, false},
            {1002, "Static", "README.TXT", {34, 49, 192, 8}, true, false},
            {-1, "Static", kLegend, {11, 163, 153, 19}, true, false},
            {1013, "Static", "Description:", {11, 130, 45, 11}, false, false},
            {1014, "Static", "Name:", {11, 118, 19, 8}, false, false},
            {1007, "Static", "README.TXT", {34, 118, 193, 8}, false, false},
            {1015, "Button", "Short file name", {4, 94, 232, 64}, false, false},
            {-1, "Button", "Long file name", {4, 21, 232, 68}, true, false},
            {1017, "Static", nullptr, {12, 184, 76, 8}, true, false},
            {-1, "Static", "Version", {185, 181, 26, 9}, true, false},
            {1009, "Static", "1.13", {213, 181, 19, 8}, true, false},
            {-1, "Static", "Name:", {11, 49, 22, 8}, true, false},
            {1005, "Static", (folder_.Path() + "\\").c_str(), {34, 37, 192, 8}, true, false},
            {1016, "Static", nullptr, {12, 193, 84, 8}, true, false},
            {1018, "Static", "", {109, 62, 121, 10}, true, false},
            {1019, "Static", "", {58, 130, 172, 10}, true, false},
        });
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, 1018)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, 1019)));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, 1003));
        ClickButtonBySend(sheet, IDCANCEL);
    });
}

TEST_F(PropertyPageTest, TypingEnablesApplyAndApplyStoresWhileTheSheetStaysOpen) {
    const std::string path = MakeFile("notes.txt");
    Select({path});
    ShowSheet([&](HWND sheet, HWND page) {
        TypeInto(page, 1001, "first draft");
        SendKeyNotification(sheet, page);
        EXPECT_TRUE(ItemEnabled(sheet, kApply));
        ClickButtonBySend(sheet, kApply);
        EXPECT_TRUE(IsWindow(sheet));
        EXPECT_EQ("notes.txt first draft\r\n", DescriptionFile(folder_.Path()));
        TypeInto(page, 1001, "second draft");
        ClickButtonBySend(sheet, IDCANCEL);
    });
    EXPECT_EQ("notes.txt first draft\r\n", DescriptionFile(folder_.Path()));
}

TEST_F(PropertyPageTest, CheckBoxAndCopyButtonEnableApplyAndBothNamesAreStored) {
    const std::string path = MakeFile("Annual Report 2003.doc");
    char shortPath[MAX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(path.c_str(), shortPath, MAX_PATH));
    const std::string shortName = strrchr(shortPath, '\\') + 1;
    ASSERT_NE("Annual Report 2003.doc", shortName);
    Select({path});
    ShowSheet([&](HWND sheet, HWND page) {
        EXPECT_EQ(shortName, ControlText(page, 1007));
        for (int id : {1008, 1004, 1015, 1013, 1014, 1007}) EXPECT_TRUE(ItemEnabled(page, id)) << id;
        ClickButtonBySend(page, 1003);
        EXPECT_TRUE(ItemEnabled(sheet, kApply));
        ClickButtonBySend(page, 1003);
        ClickButtonBySend(sheet, kApply);
        EXPECT_FALSE(ItemEnabled(sheet, kApply));
        ClickButtonBySend(page, 1008);
        EXPECT_TRUE(ItemEnabled(sheet, kApply));
        EXPECT_EQ("Annual Report 2003.doc", ControlText(page, 1004));
        TypeInto(page, 1001, "Budget 2003");
        ClickButtonBySend(sheet, IDOK);
    });
    EXPECT_EQ("\"Annual Report 2003.doc\" Budget 2003\r\n" + shortName + " Annual Report 2003.doc\r\n",
              DescriptionFile(folder_.Path()));
}

TEST_F(PropertyPageTest, CancelStoresNothingAndOkStoresTheFieldsAsShown) {
    const std::string described = MakeFile("described.txt");
    const std::string bare = MakeFile("bare.txt");
    Describe("described.txt  kept   as is\r\n");
    Select({described});
    ShowSheet([&](HWND sheet, HWND page) {
        TypeInto(page, 1001, "changed");
        ClickButtonBySend(page, 1003);
        ClickButtonBySend(sheet, IDCANCEL);
    });
    EXPECT_EQ("described.txt  kept   as is\r\n", DescriptionFile(folder_.Path()));
    std::string ansi;
    EXPECT_FALSE(testsupport::ReadRegValue(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kAnsi, &ansi));

    // OK without a change leaves the file's bytes as they were (not even the
    // blanks behind the name are dropped) and stores "Ansi" as shown.
    ShowSheet([&](HWND sheet, HWND page) { ClickButtonBySend(sheet, IDOK); });
    EXPECT_EQ("described.txt  kept   as is\r\n", DescriptionFile(folder_.Path()));
    EXPECT_TRUE(testsupport::ReadRegValue(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kAnsi, &ansi));
    EXPECT_EQ(std::string("1\0", 2), ansi);

    // A file without a description gets no entry from an unchanged OK.
    ASSERT_TRUE(DeleteFileA(folder_.File("DESCRIPT.ION").c_str()));
    Select({bare});
    ShowSheet([&](HWND sheet, HWND page) { ClickButtonBySend(sheet, IDOK); });
    EXPECT_FALSE(testsupport::FileExists(folder_.File("DESCRIPT.ION")));
}

// Apply or OK that cannot store (the description file is read-only) says so and
// keeps the sheet open on the page with the text; once the file can be written,
// OK stores it and closes the sheet.
TEST_F(PropertyPageTest, ApplyThatCannotStoreSaysSoAndKeepsTheSheetOpen) {
    const std::string path = MakeFile("notes.txt");
    Describe("notes.txt old\r\n");
    const std::string ion = folder_.File("DESCRIPT.ION");
    ASSERT_TRUE(SetFileAttributesA(ion.c_str(), FILE_ATTRIBUTE_READONLY));
    Select({path});
    ShowSheet([&](HWND sheet, HWND page) {
        TypeInto(page, 1001, "new text");
        SendKeyNotification(sheet, page);
        for (int button : {kApply, IDOK}) {
            SCOPED_TRACE(button);
            const std::vector<std::string> said = PressAndReadNotSaved(TEST_HERE, sheet, button);
            ASSERT_EQ(1u, said.size());
            EXPECT_NE(std::string::npos, said[0].find("could not be saved")) << said[0];
            EXPECT_TRUE(IsWindowVisible(sheet));
            EXPECT_EQ("new text", ControlText(page, 1001));
        }
        EXPECT_EQ("notes.txt old\r\n", DescriptionFile(folder_.Path()));
        ASSERT_TRUE(SetFileAttributesA(ion.c_str(), FILE_ATTRIBUTE_NORMAL));
        EXPECT_TRUE(PressAndReadNotSaved(TEST_HERE, sheet, IDOK).empty());
    });
    EXPECT_EQ("notes.txt new text\r\n", DescriptionFile(folder_.Path()));
}

TEST_F(PropertyPageTest, ThePageReferenceIsGivenBackOnceOnEveryPath) {
    const std::string path = MakeFile("one.txt");
    const std::string other = MakeFile("two.txt");
    const ULONG base = CountOf(sheetExt_.Get());
    EXPECT_EQ(E_FAIL, sheetExt_->ReplacePage(0, CollectPage, 0));

    // No Initialize yet: no file, no page.
    int calls = 0;
    EXPECT_EQ(S_OK, sheetExt_->AddPages(RefusePage, reinterpret_cast<LPARAM>(&calls)));
    EXPECT_EQ(0, calls);

    // Two files: no page.
    Select({path, other});
    EXPECT_EQ(S_OK, sheetExt_->AddPages(RefusePage, reinterpret_cast<LPARAM>(&calls)));
    EXPECT_EQ(0, calls);
    EXPECT_EQ(base, CountOf(sheetExt_.Get()));

    // The sheet refuses the page: its reference comes back exactly once.
    Select({path});
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(S_OK, sheetExt_->AddPages(RefusePage, reinterpret_cast<LPARAM>(&calls)));
        EXPECT_EQ(round + 1, calls);
        EXPECT_EQ(base, CountOf(sheetExt_.Get()));
    }

    // A page handed over and never shown is destroyed by its owner.
    std::vector<HPROPSHEETPAGE> pages;
    ASSERT_EQ(S_OK, sheetExt_->AddPages(CollectPage, reinterpret_cast<LPARAM>(&pages)));
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(base + 1, CountOf(sheetExt_.Get()));
    EXPECT_TRUE(DestroyPropertySheetPage(pages[0]));
    EXPECT_EQ(base, CountOf(sheetExt_.Get()));

    // A page shown in a sheet holds the object until the sheet has gone.
    ShowSheet([&](HWND sheet, HWND page) {
        EXPECT_EQ(base + 1, CountOf(sheetExt_.Get()));
        ClickButtonBySend(sheet, IDCANCEL);
    });
    EXPECT_EQ(base, CountOf(sheetExt_.Get()));

    // With every reference back, nothing keeps the library: the page's count
    // in the live objects was taken away again too.
    init_.Reset();
    sheetExt_.Reset();
    EXPECT_EQ(S_OK, CallDllCanUnloadNow());
}

// Records what this comctl32 does with the page callback of a page that is
// destroyed without having been shown: whether PSPCB_RELEASE runs, and what it
// does with the page's reference counter.
struct CallbackLog { int addRef = 0, release = 0, create = 0; };
CallbackLog g_callbackLog;
UINT CALLBACK LoggingCallback(HWND, UINT message, PROPSHEETPAGEA*) {
    if (message == PSPCB_ADDREF) ++g_callbackLog.addRef;
    if (message == PSPCB_RELEASE) ++g_callbackLog.release;
    if (message == PSPCB_CREATE) ++g_callbackLog.create;
    return 1;
}
INT_PTR CALLBACK EmptyPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(CommonControlsPage, DestroyingARefusedPageRunsItsReleaseCallbackOnce) {
    // The page is never shown, so it needs no template of its own.
    UINT counter = 0;
    PROPSHEETPAGEA description = {};
    description.dwSize = sizeof(PROPSHEETPAGEA_V2);
    description.dwFlags = PSP_USETITLE | PSP_USEREFPARENT | PSP_USECALLBACK;
    description.hInstance = GetModuleHandleA(nullptr);
    description.pszTemplate = MAKEINTRESOURCEA(1);
    description.pszTitle = "Probe";
    description.pfnDlgProc = EmptyPageProc;
    description.pfnCallback = LoggingCallback;
    description.pcRefParent = &counter;
    g_callbackLog = CallbackLog();
    HPROPSHEETPAGE page = CreatePropertySheetPageA(&description);
    ASSERT_NE(nullptr, page);
    const UINT counterWhileAlive = counter;
    const CallbackLog afterCreate = g_callbackLog;
    DestroyPropertySheetPage(page);
    std::cout << "[   WINE   ] comctl32: page reference counter " << counterWhileAlive << " while the page exists, "
              << counter << " after DestroyPropertySheetPage; PSPCB_ADDREF " << afterCreate.addRef
              << ", PSPCB_RELEASE " << g_callbackLog.release << " call(s)" << std::endl;
    RecordProperty("ReleaseCallbacks", g_callbackLog.release);
    RecordProperty("CounterWhileAlive", counterWhileAlive);
    // Wine's comctl32 runs PSPCB_RELEASE from DestroyPropertySheetPage (which is
    // why AddPages must not release again after it) and leaves the reference
    // counter alone; comctl32 of Windows raises it while the page exists. Either
    // way the counter ends where it started.
    EXPECT_EQ(1, g_callbackLog.release);
    EXPECT_EQ(0, g_callbackLog.create);
    EXPECT_EQ(0u, counter);
    EXPECT_LE(counterWhileAlive, 1u);
}

// Wine's shell as the host: the properties dialog that the "properties" verb of
// a file's shell context menu opens loads the handlers under
// *\shellex\PropertySheetHandlers.
class ShellHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ok());
        ASSERT_FALSE(folder_.Path().empty());
    }

    // Opens the shell's properties dialog for the files; drive gets the sheet.
    void OpenShellProperties(const std::vector<std::string>& paths, const std::string& title,
                             const std::function<void(HWND)>& drive) {
        Ref<IContextMenu> shellMenu;
        std::vector<PIDLIST_ABSOLUTE> items;
        std::vector<PCUITEMID_CHILD> children;
        for (const std::string& path : paths) {
            wchar_t wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            PIDLIST_ABSOLUTE item = nullptr;
            ASSERT_EQ(S_OK, SHParseDisplayName(wide, nullptr, &item, 0, nullptr));
            items.push_back(item);
            children.push_back(ILFindLastID(item));
        }
        Ref<IShellFolder> parent;
        PCUITEMID_CHILD first = nullptr;
        ASSERT_EQ(S_OK, SHBindToParent(items[0], IID_IShellFolder, parent.OutVoid(), &first));
        ASSERT_EQ(S_OK, parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                                              IID_IContextMenu, nullptr, shellMenu.OutVoid()));
        for (PIDLIST_ABSOLUTE item : items) CoTaskMemFree(item);
        HMENU menu = CreatePopupMenu();
        shellMenu->QueryContextMenu(menu, 0, 1, 0x7FFF, CMF_NORMAL);
        DestroyMenu(menu);
        CMINVOKECOMMANDINFO info = {sizeof info};
        info.lpVerb = "properties";
        info.nShow = SW_SHOWNORMAL;
        EXPECT_TRUE(DriveModalWindow(TEST_HERE, title.c_str(), [&] { shellMenu->InvokeCommand(&info); }, drive));
    }

    Apartment apartment_;
    RegisteredServer server_{true};
    CleanSettings settings_;
    TempFolder folder_;
};

TEST_F(ShellHostTest, ShellPropertiesOfOneFileShowOurPageWhichStores) {
    const std::string path = folder_.File("Quarterly Plan.xls");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, "x"));
    OpenShellProperties({path}, "Properties for Quarterly Plan.xls", [&](HWND sheet) {
        const std::vector<std::string> titles = TabTitles(sheet);
        int ours = -1;
        for (size_t i = 0; i < titles.size(); ++i)
            if (titles[i] == "Description") ours = static_cast<int>(i);
        ASSERT_NE(-1, ours) << "no Description page among " << titles.size() << " pages";
        PropSheet_SetCurSel(sheet, nullptr, ours);
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        ASSERT_NE(nullptr, GetDlgItem(page, 1001));
        EXPECT_EQ("Quarterly Plan.xls", ControlText(page, 1002));
        EXPECT_EQ(folder_.Path() + "\\", ControlText(page, 1005));
        TypeInto(page, 1001, "Plan for the next quarter");
        SendKeyNotification(sheet, page);
        EXPECT_TRUE(ItemEnabled(sheet, kApply));
        ClickButtonBySend(sheet, IDOK);
    });
    char shortPath[MAX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(path.c_str(), shortPath, MAX_PATH));
    const std::string shortName = strrchr(shortPath, '\\') + 1;
    EXPECT_EQ("\"Quarterly Plan.xls\" Plan for the next quarter\r\n", DescriptionFile(folder_.Path()));
    std::cout << "[   WINE   ] short name of Quarterly Plan.xls: " << shortName << std::endl;
}

TEST_F(ShellHostTest, ShellPropertiesOfTwoFilesShowNoDescriptionPage) {
    const std::string first = folder_.File("first.txt");
    const std::string second = folder_.File("second.txt");
    ASSERT_TRUE(testsupport::WriteFileBytes(first, "1"));
    ASSERT_TRUE(testsupport::WriteFileBytes(second, "2"));
    std::vector<std::string> titles;
    OpenShellProperties({first, second}, "Properties for first.txt", [&](HWND sheet) {
        titles = TabTitles(sheet);
        ClickButtonBySend(sheet, IDCANCEL);
    });
    std::cout << "[   WINE   ] properties of two files:";
    for (const std::string& title : titles) std::cout << " '" << title << "'";
    std::cout << std::endl;
    EXPECT_FALSE(titles.empty());
    for (const std::string& title : titles) EXPECT_NE("Description", title);
}

}  // namespace

namespace {

// Wine's shell menus for files (IShellFolder::GetUIObjectOf and
// CDefFolderMenu_Create2 with the "*" key) are built by Wine alone: Wine 8 loads
// no handler of *\shellex\ContextMenuHandlers into them. The test records what
// the menu holds; if a Wine does load our handler, the entry must read right.
TEST_F(ShellHostTest, ShellContextMenuOfAFileWithOurHandlerRegistered) {
    const std::string path = folder_.File("menu probe.txt");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, "x"));
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    PIDLIST_ABSOLUTE item = nullptr;
    ASSERT_EQ(S_OK, SHParseDisplayName(wide, nullptr, &item, 0, nullptr));
    Ref<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    ASSERT_EQ(S_OK, SHBindToParent(item, IID_IShellFolder, parent.OutVoid(), &child));
    Ref<IContextMenu> shellMenu;
    ASSERT_EQ(S_OK, parent->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr, shellMenu.OutVoid()));
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(SUCCEEDED(shellMenu->QueryContextMenu(menu, 0, 1, 0x7FFF, CMF_NORMAL)));
    int ours = 0;
    std::cout << "[   WINE   ] shell context menu of a file:";
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[256] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        if (text[0]) std::cout << " '" << text << "'";
        if (strstr(text, "description")) {
            ++ours;
            EXPECT_STREQ("*no description*", text);
        }
    }
    std::cout << (ours ? "" : " (no Tolvane entry: handlers are not loaded)") << std::endl;
    RecordProperty("TolvaneEntries", ours);
    EXPECT_GT(GetMenuItemCount(menu), 0);
    EXPECT_LE(ours, 1);
    DestroyMenu(menu);
    CoTaskMemFree(item);
}

}  // namespace

// Files named in any script, through the menu, the edit dialog and the page of
// Tolvane.dll made by COM, as Windows NT's Explorer hands them over: by wide
// names. Description files in UTF-8 show their letters and keep their form; an
// ANSI file keeps what it can hold and says so of what it cannot.
#include <gtest/gtest.h>

#include <string>

#include "DialogDriving.h"
#include "ShellextTestSupport.h"
#include "TestSupport.h"
#include "WindowFinder.h"

using namespace shellext;
using testsupport::CleanSettings;
using testsupport::DialogDriver;
using testsupport::TempFolder;
using testsupport::Utf8;
using testsupport::Wide;
using testsupport::WideText;

namespace {

const char kMark[] = "\xEF\xBB\xBF";
const char kRefusalCaption[] = "Description not saved";

class UnicodeNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ok());
        ASSERT_EQ(S_OK, CreateExtension(IID_IContextMenu, menu_.OutVoid()));
        ASSERT_EQ(S_OK, menu_->QueryInterface(IID_IShellExtInit, init_.OutVoid()));
    }

    // A file of the folder named in UTF-8, made.
    std::wstring MakeFile(const std::string& name) {
        std::wstring path = testsupport::FromAnsi(folder_.Path()) + L"\\" + Wide(name);
        EXPECT_TRUE(testsupport::WriteFileBytes(path, "content"));
        return path;
    }
    void Describe(const std::string& bytes) {
        ASSERT_TRUE(testsupport::WriteFileBytes(folder_.File("DESCRIPT.ION"), bytes));
    }
    std::string Described() const { return DescriptionFile(folder_.Path()); }

    void Select(const std::wstring& path) {
        Ref<IDataObject> data(MakeFileDataObject(std::vector<std::wstring>{path}));
        ASSERT_TRUE(data) << "Wine's shell made no data object";
        ASSERT_EQ(S_OK, init_->Initialize(nullptr, data.Get(), nullptr));
    }

    // The menu entry of the file, read wide, in UTF-8.
    std::string EntryText(const std::wstring& path) {
        Select(path);
        HMENU menu = CreatePopupMenu();
        EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1), menu_->QueryContextMenu(menu, 0, 100, 200, CMF_NORMAL));
        wchar_t text[4096] = L"";
        GetMenuStringW(menu, 0, text, 4096, MF_BYPOSITION);
        DestroyMenu(menu);
        return Utf8(text);
    }

    // Opens the edit dialog of the file; drive gets it on every tick until it
    // returns true (it must close it).
    void OpenDialog(const std::wstring& path, const std::function<bool(HWND)>& drive) {
        Select(path);
        CMINVOKECOMMANDINFO info = {sizeof info};
        DialogDriver driver(TEST_HERE, DialogDriver::Titled("Notavell", "#32770"), drive);
        EXPECT_EQ(S_OK, menu_->InvokeCommand(&info));
        EXPECT_EQ(1, driver.Handled());
    }

    Apartment apartment_;
    RegisteredServer server_;
    CleanSettings settings_;
    TempFolder folder_;
    Ref<IContextMenu> menu_;
    Ref<IShellExtInit> init_;
};

// A UTF-8 file as other programs write it, with and without the mark: the menu
// shows each description in its own letters, cut by characters.
TEST_F(UnicodeNamesTest, MenuShowsPeersDescriptionsInTheirLetters) {
    const std::wstring first = MakeFile("first.txt"), japanese = MakeFile("日本.txt"), greek = MakeFile("Ελληνικά.doc");
    for (const char* mark : {kMark, ""}) {
        SCOPED_TRACE(mark[0] ? "with the mark" : "without the mark");
        Describe(std::string(mark) + "first.txt Grüße aus Köln\r\n日本.txt 日本語の説明\r\nΕλληνικά.doc Ελληνική περιγραφή\r\n");
        EXPECT_EQ("\"Grüße aus Köln\"", EntryText(first));
        EXPECT_EQ("\"日本語の説明\"", EntryText(japanese));
        EXPECT_EQ("\"Ελληνική περιγραφή\"", EntryText(greek));
    }
    ASSERT_TRUE(testsupport::SetRegDword(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kContextWidth, 4));
    EXPECT_EQ("\"日...\"", EntryText(japanese));
}

// On a Western system 日本.txt and 中文.txt both have the ANSI name ??.txt. A
// line for ??.txt describes neither; the dialog describes each under its own
// short name, and never writes a ??.txt line.
TEST_F(UnicodeNamesTest, TwoNamesThatAnsiMakesOneStayTwoFiles) {
    const std::wstring japanese = MakeFile("日本.txt"), chinese = MakeFile("中文.txt");
    const std::string wrong = "??.txt WRONG: shown for every such name\r\n";
    Describe(wrong);
    EXPECT_EQ("*no description*", EntryText(japanese));
    EXPECT_EQ("*no description*", EntryText(chinese));

    wchar_t shortPath[MAX_PATH] = L"";
    ASSERT_GT(GetShortPathNameW(japanese.c_str(), shortPath, MAX_PATH), 0u);
    const std::string shortName = Utf8(wcsrchr(shortPath, L'\\') + 1);
    OpenDialog(japanese, [&](HWND dialog) {
        EXPECT_EQ("日本.txt", WideText(GetDlgItem(dialog, 1002)));
        EXPECT_EQ("kept under the short name", ControlText(dialog, 1018));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, 1018)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1004)));  // one entry: the long field's
        testsupport::TypeInto(dialog, 1001, Wide("Japan"));
        ClickButtonBySend(dialog, IDOK);
        return true;
    });
    EXPECT_EQ(wrong + shortName + " Japan\r\n", Described());
    EXPECT_EQ("\"Japan\"", EntryText(japanese));
    EXPECT_EQ("*no description*", EntryText(chinese));
}

// A UTF-8 file: the dialog shows name and description in their letters and
// stores what is typed in UTF-8, the mark and the other lines kept.
TEST_F(UnicodeNamesTest, DialogEditsAUtf8FileInAnyScript) {
    const std::wstring greek = MakeFile("Ελληνικά αρχεία.doc");
    const std::string other = "日本.txt 日本語\r\n";
    Describe(std::string(kMark) + "\"Ελληνικά αρχεία.doc\" Ελληνική περιγραφή\r\n" + other);
    OpenDialog(greek, [&](HWND dialog) {
        EXPECT_EQ("Ελληνικά αρχεία.doc", WideText(GetDlgItem(dialog, 1002)));
        EXPECT_EQ("Ελληνική περιγραφή", WideText(GetDlgItem(dialog, 1001)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 1018)));
        testsupport::TypeInto(dialog, 1001, Wide("Νέα περιγραφή 😀"));
        ClickButtonBySend(dialog, IDOK);
        return true;
    });
    EXPECT_EQ(std::string(kMark) + "\"Ελληνικά αρχεία.doc\" Νέα περιγραφή 😀\r\n" + other, Described());
}

// An ANSI file cannot hold the letters typed: OK says so, stores nothing, and
// the dialog stays open with the text; the page keeps its sheet open alike.
TEST_F(UnicodeNamesTest, TextTheFileCannotHoldIsRefusedInWords) {
    const std::wstring plain = MakeFile("plain.txt");
    const std::string before = "plain.txt caf\xE9\r\n";
    Describe(before);
    std::string boxText, fieldAfter;
    int phase = 0;
    OpenDialog(plain, [&](HWND dialog) {
        HWND box = testsupport::FindThreadWindow(kRefusalCaption);
        if (phase == 0) {
            EXPECT_EQ("café", WideText(GetDlgItem(dialog, 1001)));
            testsupport::TypeInto(dialog, 1001, Wide("日本語"));
            testsupport::PostCommand(dialog, IDOK);
            phase = 1;
        } else if (phase == 1 && box) {
            boxText = testsupport::MessageBoxText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            phase = 2;
        } else if (phase == 2 && !box) {
            EXPECT_TRUE(IsWindowVisible(dialog));
            fieldAfter = WideText(GetDlgItem(dialog, 1001));
            EXPECT_EQ(GetDlgItem(dialog, 1001), GetFocus());
            ClickButtonBySend(dialog, IDCANCEL);
            return true;
        }
        return false;
    });
    EXPECT_NE(std::string::npos, boxText.find("could not be saved")) << boxText;
    EXPECT_NE(std::string::npos, boxText.find("ANSI code page")) << boxText;
    EXPECT_EQ("日本語", fieldAfter);
    EXPECT_EQ(before, Described());

    Ref<IShellPropSheetExt> sheetExt;
    ASSERT_EQ(S_OK, menu_->QueryInterface(IID_IShellPropSheetExt, sheetExt.OutVoid()));
    Select(plain);
    bool refused = false;
    DialogDriver box(TEST_HERE, DialogDriver::Titled(kRefusalCaption, "#32770"), [&](HWND window) {
        refused = true;
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return true;
    });
    EXPECT_TRUE(ShowPageInSheet(TEST_HERE, sheetExt.Get(), "Plain properties", [&](HWND sheet, HWND page) {
        testsupport::TypeInto(page, 1001, Wide("Ελληνικά"));
        EXPECT_FALSE(PropSheet_Apply(sheet));  // refused: the sheet stays
        EXPECT_TRUE(refused);
        EXPECT_EQ("Ελληνικά", WideText(GetDlgItem(page, 1001)));
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    }));
    EXPECT_EQ(before, Described());
}

// A name that an ANSI file cannot hold, of a file without a short name (here:
// gone since the menu was shown): the dialog says that it cannot be described
// there, and writes nothing.
TEST_F(UnicodeNamesTest, NameWithoutAShortNameIsNotDescribed) {
    const std::wstring chinese = MakeFile("中文.txt");
    const std::string before = "other.txt x\r\n";
    Describe(before);
    Select(chinese);
    ASSERT_TRUE(DeleteFileW(chinese.c_str()));
    CMINVOKECOMMANDINFO info = {sizeof info};
    EXPECT_TRUE(DriveModalWindow(TEST_HERE, "Notavell", [&] { menu_->InvokeCommand(&info); }, [&](HWND dialog) {
        EXPECT_EQ("中文.txt", WideText(GetDlgItem(dialog, 1002)));
        EXPECT_EQ("cannot be described here", ControlText(dialog, 1018));
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, 1001), GWL_STYLE) & ES_READONLY);
        testsupport::TypeInto(dialog, 1001, Wide("typed anyway"));
        ClickButtonBySend(dialog, IDOK);
    }));
    EXPECT_EQ(before, Described());
}

}  // namespace

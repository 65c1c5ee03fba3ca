// The fields of the edit dialog in both of their forms, from this program's
// copy of the template: ANSI, as Windows 95, 98 and Me run them, and wide, as
// Windows NT does. A wide field shows every letter; an ANSI field that would
// show a description with stand-ins for letters is read-only and says why, so
// that no edit stores the stand-ins.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "DialogDriver.h"
#include "TestContract.h"
#include "TestSupport.h"
#include "WindowControls.h"
#include "shellext/EditDialog.h"
#include "module/Module.h"
#include "shellext/Resource.h"

using namespace testsupport;

namespace {

const char kLossyNote[] = "has letters not shown here";

class FieldFormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_moduleHandle = GetModuleHandleA(nullptr);
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TAB_CLASSES};
        InitCommonControlsEx(&classes);
        path_ = folder_.File("a.txt");
        ASSERT_TRUE(WriteFileBytes(path_, "x"));
    }

    // The dialog of a.txt in the given form; the caller destroys it.
    HWND Open(bool wide) {
        file_.Clear();
        file_.wide = wide;
        strcpy(file_.ansi, path_.c_str());
        wcscpy(file_.unicode, FromAnsi(path_).c_str());
        const LPARAM parameter = reinterpret_cast<LPARAM>(&file_);
        return wide ? CreateDialogParamW(g_moduleHandle, MAKEINTRESOURCEW(IDD_EDIT_DIALOG), nullptr, EditDialogProc,
                                         parameter)
                    : CreateDialogParamA(g_moduleHandle, MAKEINTRESOURCEA(IDD_EDIT_DIALOG), nullptr, EditDialogProc,
                                         parameter);
    }
    // A field's text in UTF-8, read in the field's own form.
    static std::string Field(HWND dialog, bool wide, int id = IDC_DESCRIPTION) {
        HWND field = GetDlgItem(dialog, id);
        return wide ? WideText(field) : Utf8(FromAnsi(WindowText(field)));
    }
    static bool ReadOnly(HWND dialog) {
        return (GetWindowLongA(GetDlgItem(dialog, IDC_DESCRIPTION), GWL_STYLE) & ES_READONLY) != 0;
    }
    static std::string Note(HWND dialog) {
        HWND note = GetDlgItem(dialog, IDC_DESCRIPTION_NOTE);
        // The dialog itself is never shown: the note's own style tells.
        return (GetWindowLongA(note, GWL_STYLE) & WS_VISIBLE) ? WindowText(note) : "";
    }
    std::string Ion() const { return folder_.File("DESCRIPT.ION"); }

    CleanSettings settings_;
    TempFolder folder_;
    std::string path_;
    SelectedFile file_;
};

TEST_F(FieldFormsTest, WideFieldsShowEveryLetterAnsiFieldsRefuseStandIns) {
    struct Case {
        const char* why;
        const char* ansiSetting;
        std::string bytes;
        std::string shown;      // what the wide form shows, in UTF-8
        bool ansiStandIns;      // the ANSI form cannot show it whole
        std::string ansiShown;  // what it shows then (empty: not compared)
    } cases[] = {
        {"UTF-8 with the mark", "1", "\xEF\xBB\xBF" "a.txt Grüße aus Köln\r\n", "Grüße aus Köln", false, ""},
        {"UTF-8 in a script that ANSI lacks", "1", "a.txt 日本語の説明 ok\r\n", "日本語の説明 ok", true, "?????? ok"},
        {"OEM box drawing", "0", "a.txt \xB0\xDB box\r\n", "░█ box", true, ""},
        {"ANSI", "1", "a.txt caf\xE9\r\n", "café", false, ""},
    };
    for (const Case& c : cases) {
        for (bool wide : {true, false}) {
            SCOPED_TRACE(std::string(c.why) + (wide ? ", wide" : ", ANSI"));
            SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kAnsi, c.ansiSetting);
            ASSERT_TRUE(WriteFileBytes(Ion(), c.bytes));
            HWND dialog = Open(wide);
            ASSERT_TRUE(dialog);
            const bool standIns = !wide && c.ansiStandIns;
            if (!standIns) {
                EXPECT_EQ(c.shown, Field(dialog, wide));
                EXPECT_FALSE(ReadOnly(dialog));
                EXPECT_EQ("", Note(dialog));
            } else {
                if (!c.ansiShown.empty()) {
                    EXPECT_EQ(c.ansiShown, Field(dialog, wide));
                }
                EXPECT_TRUE(ReadOnly(dialog));
                EXPECT_EQ(kLossyNote, Note(dialog));
            }
            // OK on an unedited field changes nothing; a read-only one is never stored.
            SetWindowTextA(GetDlgItem(dialog, IDC_DESCRIPTION), "edited");
            SendMessageA(GetDlgItem(dialog, IDC_DESCRIPTION), EM_SETMODIFY, TRUE, 0);
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            DestroyWindow(dialog);
            const std::string now = ReadFileBytes(Ion());
            if (standIns)
                EXPECT_EQ(c.bytes, now);
            else
                EXPECT_NE(std::string::npos, now.find("a.txt edited\r\n")) << now;
        }
    }
}

// An edit in the ANSI form goes into a UTF-8 file in UTF-8; an ANSI text that
// the OEM code page cannot hold is refused in words, and nothing is written.
// (The wide form does the same through COM: UnicodeNamesTest.)
TEST_F(FieldFormsTest, AnsiEditsGoIntoTheFilesOwnEncodingOrAreRefused) {
    ASSERT_TRUE(WriteFileBytes(Ion(), "\xEF\xBB\xBF" "a.txt Grüße\r\nb.txt Ωmega\r\n"));
    HWND dialog = Open(false);
    TypeInto(dialog, IDC_DESCRIPTION, std::string("Gr\xFC\xDF" "e aus M\xFCnchen"));
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    DestroyWindow(dialog);
    EXPECT_EQ("\xEF\xBB\xBF" "a.txt Grüße aus München\r\nb.txt Ωmega\r\n", ReadFileBytes(Ion()));

    SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kAnsi, "0");
    ASSERT_TRUE(WriteFileBytes(Ion(), "a.txt old\r\n"));
    std::string boxText;
    DialogDriver box(TEST_HERE, DialogDriver::Titled("Description not saved", "#32770"), [&](HWND window) {
        boxText = MessageBoxText(window);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return true;
    });
    dialog = Open(false);
    TypeInto(dialog, IDC_DESCRIPTION, std::string("5 \x80"));
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ("5 €", Field(dialog, false));  // kept in the field
    DestroyWindow(dialog);
    EXPECT_NE(std::string::npos, boxText.find("OEM (DOS) code page")) << boxText;
    EXPECT_EQ("a.txt old\r\n", ReadFileBytes(Ion()));
}

}  // namespace

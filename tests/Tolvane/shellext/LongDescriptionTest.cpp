// Long descriptions in the edit dialog and the property page: each field shows
// the whole description up to the longest it holds, OK or Apply without a
// change leaves the description file's bytes as they were, and a description
// longer than a field is shown cut, noted, and kept unless the user edits it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "DialogDriving.h"
#include "ShellextTestSupport.h"
#include "TestSupport.h"
#include "store/FileImage.h"

using namespace shellext;

namespace {

const int kFieldLength = 32766;  // the longest a field holds
const int kApply = 0x3021;
const char kSheetTitle[] = "Tolvane long page test";
const char kFileName[] = "Annual Report 2003.doc";

// A description of length characters, varied so that a cut or a shift shows,
// ending in a mark of its own.
std::string LongText(size_t length) {
    std::string text;
    for (size_t i = 0; text.size() + 1 < length; ++i) text.push_back(static_cast<char>('a' + (i * 7) % 26));
    return text + "Z";
}

enum class Host { DialogOk, PageOk, PageApply };

const char* HostName(Host host) {
    switch (host) {
    case Host::DialogOk: return "DialogOk";
    case Host::PageOk: return "PageOk";
    case Host::PageApply: return "PageApply";
    }
    return "?";
}

class LongDescriptionFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ok());
        path_ = folder_.File(kFileName);
        ASSERT_TRUE(testsupport::WriteFileBytes(path_, "content"));
        char shortPath[MAX_PATH] = "";
        ASSERT_NE(0u, GetShortPathNameA(path_.c_str(), shortPath, MAX_PATH));
        shortName_ = strrchr(shortPath, '\\') + 1;
        ASSERT_NE(kFileName, shortName_);
    }

    // The description file: an entry before, and both names described. Two
    // blanks behind each name, which a rewrite would make one.
    std::string Lines(const std::string& longText, const std::string& shortText) const {
        return "keep.txt  stays\r\n\"" + std::string(kFileName) + "\"  " + longText + "\r\n" + shortName_ + "  " +
               shortText + "\r\n";
    }

    // Opens the dialog or the page for the file and lets drive work it; then
    // stores as the host does (OK, or Apply and Cancel).
    void Open(Host host, const std::function<void(HWND)>& drive) {
        if (host == Host::DialogOk) {
            Ref<IContextMenu> menu;
            ASSERT_EQ(S_OK, CreateExtension(IID_IContextMenu, menu.OutVoid()));
            Initialize(menu.Get());
            CMINVOKECOMMANDINFO info = {sizeof info};
            EXPECT_TRUE(DriveModalWindow(TEST_HERE, "Notavell", [&] { menu->InvokeCommand(&info); }, [&](HWND dialog) {
                drive(dialog);
                ClickButtonBySend(dialog, IDOK);
            }));
            return;
        }
        Ref<IShellPropSheetExt> sheetExt;
        ASSERT_EQ(S_OK, CreateExtension(IID_IShellPropSheetExt, sheetExt.OutVoid()));
        Initialize(sheetExt.Get());
        EXPECT_TRUE(ShowPageInSheet(TEST_HERE, sheetExt.Get(), kSheetTitle, [&](HWND sheet, HWND page) {
            drive(page);
            if (host == Host::PageOk) {
                ClickButtonBySend(sheet, IDOK);
            } else {
                PropSheet_Changed(sheet, page);
                ClickButtonBySend(sheet, kApply);
                ClickButtonBySend(sheet, IDCANCEL);
            }
        }));
    }

    template <class T>
    void Initialize(T* object) {
        Ref<IShellExtInit> init;
        ASSERT_EQ(S_OK, object->QueryInterface(IID_IShellExtInit, init.OutVoid()));
        Ref<IDataObject> data(MakeFileDataObject({path_}));
        ASSERT_TRUE(data);
        ASSERT_EQ(S_OK, init->Initialize(nullptr, data.Get(), nullptr));
    }

    std::string Ion() const { return folder_.File("DESCRIPT.ION"); }

    Apartment apartment_;
    RegisteredServer server_;
    testsupport::CleanSettings settings_;
    testsupport::TempFolder folder_;
    std::string path_;
    std::string shortName_;
};

struct UnchangedCase {
    size_t length;
    bool shortName;  // the long description is the short name's
    Host host;
};

class UnchangedLongDescription : public LongDescriptionFixture,
                                 public ::testing::WithParamInterface<UnchangedCase> {};

TEST_P(UnchangedLongDescription, IsShownWholeOrNotedAndKeptByteForByte) {
    const UnchangedCase& c = GetParam();
    const std::string text = LongText(c.length);
    const std::string other = "the other name's";
    const std::string lines = c.shortName ? Lines(other, text) : Lines(text, other);
    ASSERT_TRUE(testsupport::WriteFileBytes(Ion(), lines));
    const int field = c.shortName ? 1004 : 1001, otherField = c.shortName ? 1001 : 1004;
    const int note = c.shortName ? 1019 : 1018, otherNote = c.shortName ? 1018 : 1019;
    const bool cut = c.length > static_cast<size_t>(kFieldLength);
    Open(c.host, [&](HWND dialog) {
        EXPECT_EQ(kFieldLength, static_cast<int>(SendDlgItemMessageA(dialog, field, EM_GETLIMITTEXT, 0, 0)));
        const std::string shown = ControlText(dialog, field);
        EXPECT_EQ(cut ? text.substr(0, kFieldLength) : text, shown) << "length " << shown.size();
        EXPECT_EQ(other, ControlText(dialog, otherField));
        EXPECT_EQ(cut, IsWindowVisible(GetDlgItem(dialog, note)) != FALSE);
        if (cut) {
            EXPECT_EQ("shown cut, kept unless edited", ControlText(dialog, note));
        }
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, otherNote)));
    });
    EXPECT_EQ(lines, testsupport::ReadFileBytes(Ion()));
}

std::vector<UnchangedCase> UnchangedCases() {
    std::vector<UnchangedCase> cases;
    for (size_t length : {1023, 1024, 1500, 2047, 5000, 32000, 32766, 40000})
        for (bool shortName : {false, true})
            for (Host host : {Host::DialogOk, Host::PageOk, Host::PageApply})
                cases.push_back({length, shortName, host});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Lengths, UnchangedLongDescription, ::testing::ValuesIn(UnchangedCases()),
                         [](const ::testing::TestParamInfo<UnchangedCase>& info) {
                             return std::to_string(info.param.length) + (info.param.shortName ? "Short" : "Long") +
                                    HostName(info.param.host);
                         });

struct EditCase {
    size_t length;
    bool replace;  // type a new text over the whole field, else append one character
    Host host;
};

class EditedLongDescription : public LongDescriptionFixture, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditedLongDescription, IsStoredAsEdited) {
    const EditCase& c = GetParam();
    const std::string text = LongText(c.length);
    ASSERT_TRUE(testsupport::WriteFileBytes(Ion(), Lines(text, "short")));
    Open(c.host, [&](HWND dialog) {
        HWND edit = GetDlgItem(dialog, 1001);
        if (c.replace) {
            TypeInto(dialog, 1001, "rewritten");
        } else {
            SendMessageA(edit, EM_SETSEL, c.length, c.length);
            SendMessageA(edit, WM_CHAR, '!', 0);
        }
    });
    const std::string stored = c.replace ? "rewritten" : text + "!";
    // The edited entry changes; the file is written anew, with one blank behind each name.
    EXPECT_EQ("keep.txt stays\r\n\"" + std::string(kFileName) + "\" " + stored + "\r\n" + shortName_ + " short\r\n",
              testsupport::ReadFileBytes(Ion()));
}

INSTANTIATE_TEST_SUITE_P(Edits, EditedLongDescription,
                         ::testing::Values(EditCase{5000, false, Host::DialogOk}, EditCase{32000, false, Host::PageOk},
                                           EditCase{40000, true, Host::DialogOk},
                                           EditCase{40000, true, Host::PageApply}),
                         [](const ::testing::TestParamInfo<EditCase>& info) {
                             return std::to_string(info.param.length) + (info.param.replace ? "Replaced" : "Appended") +
                                    HostName(info.param.host);
                         });

// A description file above the size limit is not read: the fields show
// nothing, cannot be edited, say so, and the file stays as it was.
TEST_F(LongDescriptionFixture, FileAboveTheSizeLimitIsShownUnreadAndLeftAlone) {
    const size_t kLimit = kLargestDescriptionFile;
    std::string lines = Lines("long one", "short one");
    lines += "pad.txt " + std::string(kLimit + 1 - lines.size() - 10, 'p') + "\r\n";
    ASSERT_EQ(kLimit + 1, lines.size());
    ASSERT_TRUE(testsupport::WriteFileBytes(Ion(), lines));
    for (Host host : {Host::DialogOk, Host::PageApply}) {
        Open(host, [&](HWND dialog) {
            for (int field : {1001, 1004}) {
                EXPECT_EQ("", ControlText(dialog, field));
                EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, field), GWL_STYLE) & ES_READONLY);
            }
            EXPECT_EQ("could not be read", ControlText(dialog, 1018));
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, 1018)));
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, 1019)));
        });
        EXPECT_TRUE(lines == testsupport::ReadFileBytes(Ion()));
    }
}

}  // namespace

// The context-menu entry as Explorer gets it: the object made by COM, handed a
// data object of Wine's shell, asked to fill a real menu.
#include <gtest/gtest.h>

#include <string>

#include "ShellextTestSupport.h"
#include "TestSupport.h"

using namespace shellext;
using testsupport::CleanSettings;
using testsupport::TempFolder;

namespace {


class ContextMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ok());
        ASSERT_FALSE(folder_.Path().empty());
        report_ = folder_.File("report.txt");
        other_ = folder_.File("other.txt");
        ASSERT_TRUE(testsupport::WriteFileBytes(report_, "x"));
        ASSERT_TRUE(testsupport::WriteFileBytes(other_, "y"));
        ASSERT_EQ(S_OK, CreateExtension(IID_IContextMenu, menu_.OutVoid()));
        ASSERT_EQ(S_OK, menu_->QueryInterface(IID_IShellExtInit, init_.OutVoid()));
    }

    void Describe(const std::string& lines) {
        ASSERT_TRUE(testsupport::WriteFileBytes(folder_.File("DESCRIPT.ION"), lines));
    }

    // Initialize with a shell data object of the given files; S_OK expected.
    void Select(const std::vector<std::string>& paths) {
        Ref<IDataObject> data(MakeFileDataObject(paths));
        ASSERT_TRUE(data) << "Wine's shell made no data object";
        ASSERT_EQ(S_OK, init_->Initialize(nullptr, data.Get(), nullptr));
    }

    // The entry's text after QueryContextMenu into a menu that holds two items,
    // inserted at position 1; empty when no entry was added.
    struct Query { HRESULT result; int items; std::string text; UINT id; };
    Query QueryMenu(UINT flags) {
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 1, "first");
        AppendMenuA(menu, MF_STRING, 2, "second");
        Query query;
        query.result = menu_->QueryContextMenu(menu, 1, 100, 200, flags);
        query.items = GetMenuItemCount(menu);
        char text[4096] = "";
        if (query.items == 3) GetMenuStringA(menu, 1, text, sizeof text, MF_BYPOSITION);
        query.text = text;
        query.id = GetMenuItemID(menu, 1);
        DestroyMenu(menu);
        return query;
    }

    std::string EntryText(UINT flags = CMF_NORMAL) {
        Query query = QueryMenu(flags);
        EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1), query.result);
        EXPECT_EQ(3, query.items);
        EXPECT_EQ(100u, query.id);
        return query.text;
    }

    Apartment apartment_;
    RegisteredServer server_;
    CleanSettings settings_;
    TempFolder folder_;
    std::string report_, other_;
    Ref<IContextMenu> menu_;
    Ref<IShellExtInit> init_;
};

TEST_F(ContextMenuTest, OneFileShowsItsDescriptionInQuotesOrNoDescription) {
    Select({other_});
    EXPECT_EQ("*no description*", EntryText());
    Describe("other.txt Second file\r\nreport.txt Quarterly figures!\r\n");
    Select({report_});
    EXPECT_EQ("\"Quarterly figures!\"", EntryText());
    // The description is read afresh at every query.
    Describe("report.txt R&D plan\r\n");
    EXPECT_EQ("\"R&D plan\"", EntryText());
}

TEST_F(ContextMenuTest, WidthSettingCutsTheDescriptionByteExact) {
    Describe("report.txt Quarterly figures!\r\n");   // 18 bytes
    Select({report_});
    struct Case { DWORD width; const char* shown; };
    const Case cases[] = {{1024, "\"Quarterly figures!\""}, {18, "\"Quarterly figures!\""},
                          {10, "\"Quarter...\""},           {4, "\"Q...\""},
                          {3, "\"Qua\""},                   {1, "\"Q\""},
                          {0, "\"\""},                      {5000, "\"Quarterly figures!\""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ContextBreite " << c.width);
        ASSERT_TRUE(testsupport::SetRegDword(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kContextWidth, c.width));
        EXPECT_EQ(c.shown, EntryText());
    }
}

TEST_F(ContextMenuTest, WidthIsReadWhateverItsTypeAndLargeValuesAreTakenAs2000) {
    const std::string longest(1023, 'w');
    Describe("report.txt " + longest + "\r\n");
    Select({report_});
    EXPECT_EQ("\"" + longest + "\"", EntryText());   // no setting: 1024
    // Four bytes of another type are taken as the number they hold.
    const DWORD six = 6;
    ASSERT_TRUE(testsupport::SetRegBinary(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kContextWidth, &six, sizeof six));
    EXPECT_EQ("\"www...\"", EntryText());
    // "9" and its zero overwrite the two low bytes of the preset 1024 (0x400):
    // 0x39, that is 57.
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kContextWidth, "9"));
    EXPECT_EQ("\"" + std::string(54, 'w') + "...\"", EntryText());
    // "123" and its zero fill all four bytes: 0x333231, taken as 2000.
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kContextWidth, "123"));
    EXPECT_EQ("\"" + longest + "\"", EntryText());
    // A value too long for four bytes leaves the preset.
    ASSERT_TRUE(testsupport::SetRegString(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kContextWidth, "12345678"));
    EXPECT_EQ("\"" + longest + "\"", EntryText());
    ASSERT_TRUE(testsupport::SetRegDword(HKEY_CURRENT_USER, contract::kTolvaneKey, contract::kContextWidth, 0xFFFFFFFF));
    EXPECT_EQ("\"" + longest + "\"", EntryText());
}

TEST_F(ContextMenuTest, FlagsDecideWhetherTheEntryIsAdded) {
    Select({report_});
    struct Case { UINT flags; bool added; };
    const Case cases[] = {
        {CMF_NORMAL, true},
        {CMF_DEFAULTONLY, false},
        {CMF_DEFAULTONLY | CMF_EXPLORE, true},
        {CMF_VERBSONLY, false},
        {CMF_VERBSONLY | CMF_EXPLORE, false},
        {CMF_EXPLORE, true},
        {CMF_NOVERBS, false},
        {CMF_NOVERBS | CMF_EXPLORE, true},
        {CMF_CANRENAME, true},
        {CMF_CANRENAME | CMF_EXTENDEDVERBS | 0xFFFF0000u, true},
        {CMF_DEFAULTONLY | CMF_CANRENAME, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.flags);
        Query query = QueryMenu(c.flags);
        EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, c.added ? 1 : 0), query.result);
        EXPECT_EQ(c.added ? 3 : 2, query.items);
        if (c.added) {
            EXPECT_EQ("*no description*", query.text);
        }
    }
}

TEST_F(ContextMenuTest, NoEntryWithoutExactlyOneFile) {
    Describe("report.txt Quarterly figures!\r\n");
    // Before Initialize nothing is selected.
    Query query = QueryMenu(CMF_NORMAL);
    EXPECT_EQ(S_OK, query.result);
    EXPECT_EQ(2, query.items);

    Select({report_, other_});
    query = QueryMenu(CMF_NORMAL);
    EXPECT_EQ(S_OK, query.result);
    EXPECT_EQ(2, query.items);

    // A null data object changes nothing: the two files stay selected (none).
    EXPECT_EQ(E_UNEXPECTED, init_->Initialize(nullptr, nullptr, nullptr));
    EXPECT_EQ(2, QueryMenu(CMF_NORMAL).items);

    // Each Initialize replaces the selection.
    Select({report_});
    EXPECT_EQ("\"Quarterly figures!\"", EntryText());
    EXPECT_EQ(E_UNEXPECTED, init_->Initialize(nullptr, nullptr, nullptr));
    EXPECT_EQ("\"Quarterly figures!\"", EntryText());
    Select({report_, other_});
    EXPECT_EQ(2, QueryMenu(CMF_NORMAL).items);
}

TEST_F(ContextMenuTest, InitializeHoldsOneDataObjectAtATime) {
    Ref<IDataObject> first(MakeFileDataObject({report_}));
    Ref<IDataObject> second(MakeFileDataObject({other_}));
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    auto count = [](IDataObject* data) {
        data->AddRef();
        return data->Release();
    };
    const ULONG firstAlone = count(first.Get()), secondAlone = count(second.Get());
    ASSERT_EQ(S_OK, init_->Initialize(nullptr, first.Get(), nullptr));
    EXPECT_EQ(firstAlone + 1, count(first.Get()));
    ASSERT_EQ(S_OK, init_->Initialize(nullptr, second.Get(), nullptr));
    EXPECT_EQ(firstAlone, count(first.Get()));
    EXPECT_EQ(secondAlone + 1, count(second.Get()));
    // Initialize twice with the same object keeps one reference.
    ASSERT_EQ(S_OK, init_->Initialize(nullptr, second.Get(), nullptr));
    EXPECT_EQ(secondAlone + 1, count(second.Get()));
    init_.Reset();
    menu_.Reset();
    EXPECT_EQ(secondAlone, count(second.Get()));
}

TEST_F(ContextMenuTest, HelpTextsInBothFormsWithinTheBuffer) {
    Select({report_});
    char ansi[64];
    memset(ansi, 'X', sizeof ansi);
    EXPECT_EQ(S_OK, menu_->GetCommandString(0, GCS_HELPTEXTA, nullptr, ansi, sizeof ansi));
    EXPECT_STREQ("4DOS Description", ansi);
    memset(ansi, 'X', sizeof ansi);
    EXPECT_EQ(S_OK, menu_->GetCommandString(0, GCS_HELPTEXTA, nullptr, ansi, 5));
    EXPECT_STREQ("4DOS", ansi);
    EXPECT_EQ('X', ansi[5]);

    wchar_t wide[64];
    for (UINT type : {GCS_HELPTEXTW, GCS_VERBW, GCS_VALIDATEW}) {
        wmemset(wide, L'X', 64);
        EXPECT_EQ(S_OK, menu_->GetCommandString(0, type, nullptr, reinterpret_cast<char*>(wide), 64));
        EXPECT_STREQ(L"4DOS Description", wide) << "type " << type;
    }
    wmemset(wide, L'X', 64);
    EXPECT_EQ(S_OK, menu_->GetCommandString(0, GCS_HELPTEXTW, nullptr, reinterpret_cast<char*>(wide), 5));
    EXPECT_STREQ(L"4DOS", wide);
    EXPECT_EQ(L'X', wide[5]);

    for (UINT type : {GCS_VERBA, GCS_VALIDATEA}) {
        memset(ansi, 'X', sizeof ansi);
        EXPECT_EQ(S_OK, menu_->GetCommandString(0, type, nullptr, ansi, sizeof ansi));
        EXPECT_EQ('X', ansi[0]) << "type " << type;
    }
    memset(ansi, 'X', sizeof ansi);
    EXPECT_EQ(S_OK, menu_->GetCommandString(1, GCS_HELPTEXTA, nullptr, ansi, sizeof ansi));
    EXPECT_EQ('X', ansi[0]);
    EXPECT_EQ(S_OK, menu_->GetCommandString(0, GCS_HELPTEXTA, nullptr, nullptr, 0));
}

TEST_F(ContextMenuTest, VerbStringsAndOtherOffsetsAreRefusedWithoutADialog) {
    Select({report_});
    CMINVOKECOMMANDINFO info = {sizeof info};
    info.lpVerb = "properties";
    EXPECT_EQ(E_INVALIDARG, menu_->InvokeCommand(&info));
    // Offset 0 given in the high word is a string address all the same.
    info.lpVerb = reinterpret_cast<LPCSTR>(static_cast<UINT_PTR>(0x10000));
    EXPECT_EQ(E_INVALIDARG, menu_->InvokeCommand(&info));
    info.lpVerb = MAKEINTRESOURCEA(1);
    EXPECT_EQ(E_INVALIDARG, menu_->InvokeCommand(&info));
    // No dialog was opened by any of them: this thread owns no window.
    EXPECT_EQ(nullptr, FindWindowA("#32770", "Notavell"));
}

}  // namespace

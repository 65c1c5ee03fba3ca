// Running out of memory never ends the host. This program replaces the
// allocator: while armed, the Nth allocation fails. Each operation of the store,
// the column's cell and the edit dialog runs once for every N until it runs
// through without a failure. After each run the process is alive, the
// description file is byte for byte the old or the new one, no temporary file
// is left, every block allocated is freed, no allocation went around the
// checked ones (throwing new, malloc), and the same call then works.
#include "StoreTestSupport.h"

#include "columnhook/ColumnHook.h"
#include "columnhook/DescriptionCache.h"
#include "shellext/EditDialog.h"
#include "module/Module.h"
#include "shellext/Resource.h"
#include "store/DescriptionApi.h"
#include "store/DescriptionFile.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <new>

extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_calloc(size_t count, size_t size);
extern "C" void* __real_realloc(void* block, size_t size);

namespace {

// Only the thread that made the counter is counted: every test program runs a
// watcher thread of its own, which allocates while it looks at a box the test opened.
struct AllocationCounter {
    bool armed = false;
    DWORD thread = GetCurrentThreadId();
    long failAt = 0;     // the allocation (counted from 1) that fails
    long made = 0;       // checked allocations asked for while armed
    long failed = 0;     // of them failed
    long live = 0;       // blocks allocated while armed and not yet freed
    long unchecked = 0;  // throwing new or C allocations while armed
};
AllocationCounter g_counter;

// Every block carries a header that tells whether it was made while armed.
const size_t kHeader = 16;

bool ArmedHere() { return g_counter.armed && g_counter.thread == GetCurrentThreadId(); }

void* Allocate(size_t size, bool checked) {
    bool armed = ArmedHere();
    if (armed && !checked) ++g_counter.unchecked;
    if (armed && checked && ++g_counter.made == g_counter.failAt) {
        ++g_counter.failed;
        return nullptr;
    }
    char* block = static_cast<char*>(__real_malloc(size + kHeader));
    if (!block) return nullptr;
    block[0] = armed ? 1 : 0;
    if (armed) ++g_counter.live;
    return block + kHeader;
}

void Release(void* pointer) {
    if (!pointer) return;
    char* block = static_cast<char*>(pointer) - kHeader;
    if (block[0]) --g_counter.live;
    free(block);
}

void* AllocateOrAbort(size_t size) {
    void* pointer = Allocate(size, false);
    if (!pointer) abort();
    return pointer;
}

}  // namespace

void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void* operator new(size_t size) { return AllocateOrAbort(size); }
void* operator new[](size_t size) { return AllocateOrAbort(size); }
void operator delete(void* pointer) noexcept { Release(pointer); }
void operator delete[](void* pointer) noexcept { Release(pointer); }
void operator delete(void* pointer, size_t) noexcept { Release(pointer); }
void operator delete[](void* pointer, size_t) noexcept { Release(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { Release(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { Release(pointer); }

// The C allocation functions, wrapped at link time (-Wl,--wrap): product code
// must not use them at all.
extern "C" void* __wrap_malloc(size_t size) {
    if (ArmedHere()) ++g_counter.unchecked;
    return __real_malloc(size);
}
extern "C" void* __wrap_calloc(size_t count, size_t size) {
    if (ArmedHere()) ++g_counter.unchecked;
    return __real_calloc(count, size);
}
extern "C" void* __wrap_realloc(void* block, size_t size) {
    if (ArmedHere()) ++g_counter.unchecked;
    return __real_realloc(block, size);
}

using namespace testsupport;

namespace {

const char kOld[] = "first.txt  one\r\n\"my notes.txt\" two\x04tail\r\nlast.txt three\r\n";

class AllocationFailureTest : public testing::Test {
protected:
    std::string Ion() const { return folder.File("DESCRIPT.ION"); }
    std::string Path(const char* name) const { return folder.File(name); }

    // Runs operation with the Nth allocation failing, for N = 1, 2, ... until it
    // makes no more. Before each run the description file holds old; after it,
    // it must hold old or changed, and check (unarmed) must find the store working.
    void ForEveryAllocation(const std::string& old, const std::string& changed,
                            const std::function<void()>& operation, const std::function<void()>& check) {
        long failAt = 1;
        for (;; ++failAt) {
            SCOPED_TRACE(testing::Message() << "allocation " << failAt << " fails");
            ASSERT_TRUE(WriteFileBytes(Ion(), old));
            const std::string before = Listing();
            g_counter = AllocationCounter();
            g_counter.failAt = failAt;
            g_counter.armed = true;
            operation();
            g_counter.armed = false;
            const std::string now = ReadFileBytes(Ion());
            EXPECT_TRUE(now == old || now == changed) << testing::PrintToString(now);
            EXPECT_EQ(g_counter.live, 0) << "blocks not freed";
            EXPECT_EQ(g_counter.unchecked, 0) << "allocations that cannot fail softly";
            EXPECT_EQ(Listing(), before) << "a temporary file was left";
            check();
            if (HasFailure() || g_counter.failed == 0) break;
            ASSERT_LT(failAt, 100000);
        }
        EXPECT_GT(failAt, 1) << "the operation allocated nothing";
        // The run without a failure made the change.
        EXPECT_EQ(ReadFileBytes(Ion()), changed);
        printf("[ MEMORY   ] %ld allocations, each failed once\n", failAt - 1);
    }

    // The names in the folder.
    std::string Listing() const {
        std::string names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder.Path() + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            names += std::string(found.cFileName) + "|";
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

    // A full path in the folder whose text stays put, so that an operation
    // under test allocates nothing of its own.
    const char* P(const char* name) {
        paths.push_back(Path(name));
        return paths.back().c_str();
    }

    std::string Get(const char* name) {
        char buffer[2048];
        GetDescription(buffer, Path(name).c_str());
        return buffer;
    }

    CleanSettings settings;
    TempFolder folder;
    std::deque<std::string> paths;
};

TEST_F(AllocationFailureTest, LoadAndLookup) {
    std::string found;
    const char* notes = P("My Notes.txt");
    ForEveryAllocation(
        kOld, kOld,
        [&] {
            CDescriptionFile file;
            file.Load(notes);
            const char* text = file.FindDescription(notes);
            if (!text) text = "<none>";
            g_counter.armed = false;  // the test's own copy
            found = text;
        },
        [&] {
            EXPECT_TRUE(found == "two" || found == "<none>") << found;
            EXPECT_EQ(Get("my notes.txt"), "two");
        });
}

TEST_F(AllocationFailureTest, GetDescription) {
    char buffer[2048];
    const char* last = P("LAST.TXT");
    ForEveryAllocation(
        kOld, kOld, [&] { GetDescription(buffer, last); },
        [&] {
            EXPECT_TRUE(strcmp(buffer, "three") == 0 || buffer[0] == '\0') << buffer;
            EXPECT_EQ(Get("last.txt"), "three");
        });
}

TEST_F(AllocationFailureTest, SetChangesAnEntry) {
    const std::string changed = "first.txt changed\r\n\"my notes.txt\" two\x04tail\r\nlast.txt three\r\n";
    const char* first = P("first.txt");
    ForEveryAllocation(kOld, changed, [&] { SetDescription("changed", first); },
                       [&] { EXPECT_TRUE(Get("first.txt") == "one" || Get("first.txt") == "changed"); });
}

TEST_F(AllocationFailureTest, SetAddsAnEntryInTheOemCodePage) {
    storetest::SetAnsi("0");
    const std::string changed =
        "first.txt one\r\n\"my notes.txt\" two\x04tail\r\nlast.txt three\r\n\"new file.txt\" caf\x82\r\n";
    const char* added = P("new file.txt");
    ForEveryAllocation(kOld, changed, [&] { SetDescription("caf\xe9", added); },
                       [&] { EXPECT_EQ(Get("first.txt"), "one"); });
    EXPECT_EQ(Get("new file.txt"), "caf\xe9");
}

// A UTF-8 file: the ANSI text converted on its way in, the entry read back
// converted on its way out.
TEST_F(AllocationFailureTest, SetAndGetInAUtf8File) {
    const std::string old = std::string("\xEF\xBB\xBF") + kOld;
    const std::string changed =
        "\xEF\xBB\xBF" "first.txt one\r\n\"my notes.txt\" two\x04tail\r\nlast.txt three\r\nnew.txt caf\xC3\xA9\r\n";
    const char* added = P("new.txt");
    ForEveryAllocation(old, changed, [&] { SetDescription("caf\xE9", added); },
                       [&] { EXPECT_EQ(Get("first.txt"), "one"); });
    EXPECT_EQ(Get("new.txt"), "caf\xE9");
}

TEST_F(AllocationFailureTest, Delete) {
    const std::string changed = "first.txt one\r\nlast.txt three\r\n";
    const char* notes = P("MY NOTES.TXT");
    ForEveryAllocation(kOld, changed, [&] { DelDescription(notes); },
                       [&] { EXPECT_EQ(Get("last.txt"), "three"); });
}

// Several changes, then one save: all of them are written, or none.
TEST_F(AllocationFailureTest, SaveOfSeveralChanges) {
    const std::string changed =
        "\"my notes.txt\" two\x04tail\r\nlast.txt 3\r\nadded.txt 4\r\nb.txt 5\r\nc.txt 6\r\nd.txt 7\r\n";
    const char* any = P("x");
    const char* first = P("first.txt");
    const char* last = P("last.txt");
    const char* added = P("added.txt");
    const char* more[] = {P("b.txt"), P("c.txt"), P("d.txt")};
    ForEveryAllocation(
        kOld, changed,
        [&] {
            CDescriptionFile file;
            file.Load(any);
            file.DeleteEntry(first);
            file.SetEntry(last, "3");
            file.Lookup(last);
            file.SetEntry(added, "4");
            // Past the room made for the lines read: the list grows.
            file.SetEntry(more[0], "5");
            file.SetEntry(more[1], "6");
            file.SetEntry(more[2], "7");
            file.Close();
        },
        [&] { EXPECT_EQ(Get("my notes.txt"), "two"); });
}

// The column's cell: the description or an empty cell, never a crash.
TEST_F(AllocationFailureTest, ColumnCell) {
    char cell[260];
    const char* first = P("first.txt");
    ForEveryAllocation(
        kOld, kOld, [&] { LookupDescription(first, cell); },
        [&] {
            EXPECT_TRUE(strcmp(cell, "one") == 0 || cell[0] == '\0') << cell;
            char again[260];
            LookupDescription(first, again);
            EXPECT_STREQ(again, "one");
        });
}

// The column's own copy of a folder's file: its first reading, and its reading
// after a change (the image read again, the index mended), fail softly: the
// cell shows the old or the new description, or none, and the next cache reads
// the file whole.
TEST_F(AllocationFailureTest, ColumnCacheReadsAndMends) {
    const std::string changed = "first.txt ONE\r\n\"my notes.txt\" two\x04tail\r\nlast.txt three\r\nnew.txt 4\r\n";
    char cell[260];
    const char* first = P("first.txt");
    for (bool afterAChange : {false, true}) {
        SCOPED_TRACE(afterAChange ? "after a change" : "first reading");
        ForEveryAllocation(
            kOld, changed,
            [&] {
                g_counter.armed = false;
                CDescriptionCache cache;
                if (afterAChange) {
                    cache.Lookup(first, cell);
                    ASSERT_TRUE(WriteFileBytes(Ion(), changed));
                    // The cache looks for changes once a tick of the clock.
                    DWORD tick = GetTickCount();
                    while (GetTickCount() - tick < 20) Sleep(5);
                }
                g_counter.armed = true;
                cache.Lookup(first, cell);
                g_counter.armed = false;
                if (!afterAChange) {
                    ASSERT_TRUE(WriteFileBytes(Ion(), changed));
                }
            },
            [&] {
                EXPECT_TRUE(strcmp(cell, "one") == 0 || strcmp(cell, "ONE") == 0 || cell[0] == '\0') << cell;
                CDescriptionCache fresh;
                char again[260];
                fresh.Lookup(first, again);
                EXPECT_STREQ(again, "ONE");
            });
    }
}

// The edit dialog, made from this program's copy of its template.
class DialogAllocationTest : public AllocationFailureTest {
protected:
    void SetUp() override {
        g_moduleHandle = GetModuleHandleA(nullptr);
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TAB_CLASSES};
        InitCommonControlsEx(&classes);
        path = Path("first.txt");
        ASSERT_TRUE(WriteFileBytes(path, "x"));
        file.Clear();
        strcpy(file.ansi, path.c_str());
    }
    void TearDown() override { DeleteFileA(path.c_str()); }

    HWND Open() {
        return CreateDialogParamA(g_moduleHandle, MAKEINTRESOURCEA(IDD_EDIT_DIALOG), nullptr, EditDialogProc,
                                  reinterpret_cast<LPARAM>(&file));
    }
    std::string FieldText(HWND dialog) {
        char text[256] = "";
        GetDlgItemTextA(dialog, IDC_DESCRIPTION, text, sizeof text);
        return text;
    }

    std::string path;
    SelectedFile file;
};

// Filling the fields fails softly: a field that could not be filled is
// read-only, so that OK never stores it empty over what the file holds.
TEST_F(DialogAllocationTest, FillingTheFields) {
    HWND dialog = nullptr;
    ForEveryAllocation(
        kOld, kOld, [&] { dialog = Open(); },
        [&] {
            ASSERT_TRUE(dialog);
            HWND field = GetDlgItem(dialog, IDC_DESCRIPTION);
            const bool readOnly = (GetWindowLongA(field, GWL_STYLE) & ES_READONLY) != 0;
            EXPECT_EQ(readOnly ? "" : "one", FieldText(dialog));
            EXPECT_EQ(readOnly, (GetWindowLongA(GetDlgItem(dialog, IDC_DESCRIPTION_NOTE), GWL_STYLE) & WS_VISIBLE) != 0);
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            DestroyWindow(dialog);
            EXPECT_EQ(ReadFileBytes(Ion()), kOld);
        });
}

// A box that says a description could not be saved, closed by a thread timer
// that allocates nothing of this program's, so that the count stays true.
int g_notSavedBoxes = 0;
void CALLBACK CloseNotSavedBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowA("#32770", "Description not saved");
    if (!box || !IsWindowVisible(box)) return;
    ++g_notSavedBoxes;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// Storing an edited field fails softly too: whenever the change is not in the
// file, the dialog says so and stays open with the text in its field.
TEST_F(DialogAllocationTest, StoringAnEditedField) {
    const std::string changed = "first.txt edited\r\n\"my notes.txt\" two\x04tail\r\nlast.txt three\r\n";
    HWND dialog = nullptr;
    ForEveryAllocation(
        kOld, changed,
        [&] {
            g_counter.armed = false;
            dialog = Open();
            SetDlgItemTextA(dialog, IDC_DESCRIPTION, "edited");
            g_notSavedBoxes = 0;
            UINT_PTR timer = SetTimer(nullptr, 0, 20, CloseNotSavedBox);
            g_counter.armed = true;
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            g_counter.armed = false;
            KillTimer(nullptr, timer);
        },
        [&] {
            const bool stored = Get("first.txt") == "edited";
            EXPECT_TRUE(stored || Get("first.txt") == "one");
            EXPECT_EQ(stored ? 0 : 1, g_notSavedBoxes);
            EXPECT_EQ("edited", FieldText(dialog));
            DestroyWindow(dialog);
        });
}

}  // namespace

// Several users of one description file at once: no reader ever sees it
// emptied or half written, and no change drops the entries of others.
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>

using namespace testsupport;
using storetest::Entries;

namespace {

typedef int(__cdecl* GetFunction)(char*, const char*);
typedef int(__cdecl* SetFunction)(const char*, const char*);

class ConcurrencyTest : public testing::Test {
protected:
    void SetUp() override {
        library = LoadLibraryA(DistFile("Tolvane.dll").c_str());
        ASSERT_TRUE(library != nullptr);
        get = reinterpret_cast<GetFunction>(reinterpret_cast<void*>(GetProcAddress(library, "GetDescription")));
        set = reinterpret_cast<SetFunction>(reinterpret_cast<void*>(GetProcAddress(library, "SetDescription")));
        ASSERT_TRUE(get && set);
        for (int i = 0; i < 40; ++i) {
            std::string line = "file" + std::to_string(i) + ".txt description " + std::to_string(i);
            original += line + "\r\n";
            before.push_back("file" + std::to_string(i) + ".txt|description " + std::to_string(i) + "|");
        }
        ASSERT_TRUE(WriteFileBytes(Ion(), original));
    }
    void TearDown() override {
        if (library) FreeLibrary(library);
    }
    std::string Ion() const { return folder.File("DESCRIPT.ION"); }

    // Reads the file as the store does (others may read meanwhile, nobody
    // writes), waiting while a writer holds it.
    std::string ReadShared() {
        for (int attempt = 0; attempt < 500; ++attempt) {
            HANDLE file = CreateFileA(Ion().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) {
                Sleep(2);
                continue;
            }
            std::string bytes;
            char chunk[4096];
            DWORD got = 0;
            while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
            CloseHandle(file);
            return bytes;
        }
        ADD_FAILURE() << "the description file stayed locked";
        return std::string();
    }

    // Every line complete and every entry of before still there.
    void ExpectWellFormed(const std::string& bytes) {
        ASSERT_FALSE(bytes.empty());
        ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        std::vector<std::string> entries = Entries(bytes);
        ASSERT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), static_cast<long>(entries.size()));
        for (size_t i = 0; i < before.size(); ++i) ASSERT_EQ(entries.at(i), before[i]);
    }

    HMODULE library = nullptr;
    GetFunction get = nullptr;
    SetFunction set = nullptr;
    CleanSettings settings;
    TempFolder folder;
    std::string original;
    std::vector<std::string> before;
};

// A writer that holds the file briefly is waited for.
TEST_F(ConcurrencyTest, WaitsWhileAnotherHoldsTheFile) {
    HANDLE held = CreateFileA(Ion().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(300);
        CloseHandle(held);
    });
    DWORD start = GetTickCount();
    set("waited", folder.File("new.txt").c_str());
    release.join();
    EXPECT_GE(GetTickCount() - start, 250u);
    std::vector<std::string> expected = before;
    expected.push_back("new.txt|waited|");
    EXPECT_EQ(Entries(ReadFileBytes(Ion())), expected);

    // A reader holding it keeps a writer out too, until it is done.
    held = CreateFileA(Ion().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread reader([held] {
        Sleep(300);
        CloseHandle(held);
    });
    start = GetTickCount();
    set("again", folder.File("new.txt").c_str());
    reader.join();
    EXPECT_GE(GetTickCount() - start, 250u);
    char buffer[2048];
    get(buffer, folder.File("new.txt").c_str());
    EXPECT_STREQ(buffer, "again");
}

// A file that cannot be read is never rewritten from an empty list.
TEST_F(ConcurrencyTest, UnreadableFileIsNotRewritten) {
    HANDLE held = CreateFileA(Ion().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(3000);
        CloseHandle(held);
    });
    char buffer[2048] = "x";
    get(buffer, folder.File("file1.txt").c_str());
    EXPECT_STREQ(buffer, "");  // gave up after about a second
    set("lost", folder.File("new.txt").c_str());
    release.join();
    EXPECT_EQ(ReadFileBytes(Ion()), original);
}

// Two processes change different entries many times over while this one
// keeps reading: the file is always complete and keeps every old entry.
TEST_F(ConcurrencyTest, TwoWritersAndAReader) {
    std::string describe = BinFile("describe.exe");
    HANDLE first = StartProcess("\"" + describe + "\" set \"" + folder.File("alpha.txt") + "\" alpha 150");
    HANDLE second = StartProcess("\"" + describe + "\" set \"" + folder.File("beta.txt") + "\" beta 150");
    ASSERT_TRUE(first && second);
    int reads = 0;
    HANDLE both[] = {first, second};
    while (WaitForMultipleObjects(2, both, TRUE, 0) == WAIT_TIMEOUT) {
        ExpectWellFormed(ReadShared());
        if (HasFatalFailure()) break;
        char buffer[2048] = "";
        get(buffer, folder.File("file39.txt").c_str());
        ASSERT_STREQ(buffer, "description 39");
        ++reads;
        Sleep(3);
    }
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 120000), WAIT_OBJECT_0);
    DWORD code1 = 1, code2 = 1;
    GetExitCodeProcess(first, &code1);
    GetExitCodeProcess(second, &code2);
    CloseHandle(first);
    CloseHandle(second);
    EXPECT_EQ(code1, 0u);
    EXPECT_EQ(code2, 0u);
    EXPECT_GT(reads, 5);

    std::string bytes = ReadShared();
    ExpectWellFormed(bytes);
    std::vector<std::string> entries = Entries(bytes);
    ASSERT_EQ(entries.size(), before.size() + 2);
    // Of two changes at once the later wins, so only the names are certain.
    for (size_t i = before.size(); i < entries.size(); ++i)
        EXPECT_TRUE(entries[i].rfind("alpha.txt|alpha ", 0) == 0 || entries[i].rfind("beta.txt|beta ", 0) == 0)
            << entries[i];
    printf("%d reads while the two writers ran\n", reads);
}

}  // namespace

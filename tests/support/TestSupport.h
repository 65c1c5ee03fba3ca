// Shared helpers of the test programs: where the built binaries are, scratch
// folders, registry set-up and a second process. Every helper here works on real
// files, the real registry and real processes of the test's own Wine prefix.
#pragma once

#include <windows.h>

#include <string>

#include "TestContract.h"

namespace testsupport {

// The kind of Windows the test runs on. The 32-bit tree's tests run in a 32-bit Windows
// (Windows 95 to the 32-bit editions of 10: one registry view, 32-bit programs only),
// the 64-bit tree's in a 64-bit Windows (two registry views; 32-bit programs beside
// the 64-bit ones). A test that holds for one kind only says so in its name and skips
// on the other with the reason (GTEST_SKIP).
bool IsSixtyFourBitWindows();

// Full path of a shipped binary in the product tree's dist folder (Tolvane.dll,
// Tolvard.exe, the setup), as the build named it.
std::string DistFile(const char* name);
// Full path of a program next to the running test program (build\bin).
std::string BinFile(const char* name);

// A fresh, empty folder under the temporary folder; removed with all its
// contents (read-only and hidden files included) when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }   // without trailing backslash
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path);           // empty when missing
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// Files named in any script go by wide names.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Texts of any script: the tests write them in UTF-8 and hand them to Windows
// wide (Windows' own conversions, not the product's). FromAnsi: an ANSI text.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::wstring FromAnsi(const std::string& ansi);
bool FileExists(const std::string& path);
DWORD Attributes(const std::string& path);                    // INVALID_FILE_ATTRIBUTES when missing

// Registry: the whole key tree is removed (missing keys are fine). A view
// (KEY_WOW64_32KEY or KEY_WOW64_64KEY) picks a registry view; 0 is the program's own.
void DeleteRegTree(HKEY root, const char* subkey, REGSAM view = 0);
bool SetRegString(HKEY root, const char* subkey, const char* value, const std::string& data,
                  bool withTerminator = true, REGSAM view = 0);
bool SetRegDword(HKEY root, const char* subkey, const char* value, DWORD data);
bool SetRegBinary(HKEY root, const char* subkey, const char* value, const void* data, DWORD size);
// The raw bytes of a value; false when it cannot be read.
bool ReadRegValue(HKEY root, const char* subkey, const char* value, std::string* data,
                  DWORD* type = nullptr, REGSAM view = 0);

// Removes HKCU\SOFTWARE\Varnoke when made and again when it goes, so that every
// test starts from the defaults.
class CleanSettings {
public:
    CleanSettings() { DeleteRegTree(HKEY_CURRENT_USER, contract::kVendorKey); }
    ~CleanSettings() { DeleteRegTree(HKEY_CURRENT_USER, contract::kVendorKey); }
};

// Starts a program (a full command line) and returns its process handle, or
// nullptr. The caller waits for it and closes the handle.
HANDLE StartProcess(const std::string& commandLine);
// Starts a program, waits up to timeoutMs and returns its exit code; -1 when it
// could not start or did not end in time (it is then terminated).
int RunProcess(const std::string& commandLine, DWORD timeoutMs = 60000);

// Dispatches the messages waiting for this thread, and returns.
void PumpPendingMessages();
// Pumps this thread's messages for about the given time.
void PumpMessages(DWORD milliseconds);
// Pumps this thread's messages (hooks and sent messages of other processes reach
// this thread through them) until the handle is signalled or the time is up;
// false on timeout.
bool PumpUntilSignalled(HANDLE handle, DWORD timeoutMs);

// A process the test started, ended when the object goes unless it has ended by itself:
// a failed assertion must leave no program behind, since one that runs on keeps
// ctest waiting on the output it inherited until the test's timeout.
class ScopedProcess {
public:
    explicit ScopedProcess(HANDLE process) : process_(process) {}
    ~ScopedProcess();
    ScopedProcess(const ScopedProcess&) = delete;
    ScopedProcess& operator=(const ScopedProcess&) = delete;
    HANDLE Handle() const { return process_; }

private:
    HANDLE process_;
};

// One argument of a command line, quoted so that the child's argv gets it back
// unchanged (backslashes before a quote are doubled).
std::string QuoteArgument(const std::string& text);

}  // namespace testsupport

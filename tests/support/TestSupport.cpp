// The tests' shared helpers (TestSupport.h): the kind of Windows, the built binaries,
// scratch folders, files, registry values, processes, message pumps, and texts
// converted between UTF-8, UTF-16 and the ANSI code page.
#include "TestSupport.h"

#include <shlwapi.h>

#include <cstdio>
#include <vector>

namespace testsupport {

namespace {

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = strrchr(path, '\\');
    if (slash) *slash = '\0';
    return path;
}

// Wide, so that files named in any script go too.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = folder + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}

std::wstring FromCodePage(UINT codePage, const std::string& text) {
    if (text.empty()) return std::wstring();
    int units = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], units);
    return wide;
}

}  // namespace

bool IsSixtyFourBitWindows() {
#ifdef _WIN64
    return true;
#else
    typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
    IsWow64ProcessFn isWow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
#endif
}

std::wstring Wide(const std::string& utf8) { return FromCodePage(CP_UTF8, utf8); }

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

std::wstring FromAnsi(const std::string& ansi) { return FromCodePage(CP_ACP, ansi); }

std::string DistFile(const char* name) {
    return std::string(TOLVANE_DIST_DIR) + "\\" + name;
}

std::string BinFile(const char* name) {
    return ModuleFolder() + "\\" + name;
}

TempFolder::TempFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static LONG counter = 0;
    for (;;) {
        char name[64];
        wsprintfA(name, "tolvane-%lu-%ld", GetCurrentProcessId(), InterlockedIncrement(&counter));
        std::string candidate = std::string(temp) + name;
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

TempFolder::~TempFolder() {
    if (!path_.empty()) RemoveTree(FromAnsi(path_));
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    return WriteFileBytes(FromAnsi(path), bytes);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool FileExists(const std::string& path) {
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

void DeleteRegTree(HKEY root, const char* subkey, REGSAM view) {
    if (!view) {
        SHDeleteKeyA(root, subkey);
        return;
    }
    // Opened in the view, the parent deletes the tree below it there.
    std::string path = subkey;
    size_t slash = path.rfind('\\');
    std::string parent = slash == std::string::npos ? "" : path.substr(0, slash);
    HKEY key;
    if (RegOpenKeyExA(root, parent.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) return;
    SHDeleteKeyA(key, path.substr(slash == std::string::npos ? 0 : slash + 1).c_str());
    RegCloseKey(key);
}

namespace {
bool SetValue(HKEY root, const char* subkey, const char* value, DWORD type, const void* data, DWORD size,
              REGSAM view = 0) {
    HKEY key;
    if (RegCreateKeyExA(root, subkey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, value, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}
}  // namespace

bool SetRegString(HKEY root, const char* subkey, const char* value, const std::string& data,
                  bool withTerminator, REGSAM view) {
    return SetValue(root, subkey, value, REG_SZ, data.c_str(),
                    static_cast<DWORD>(data.size() + (withTerminator ? 1 : 0)), view);
}

bool SetRegDword(HKEY root, const char* subkey, const char* value, DWORD data) {
    return SetValue(root, subkey, value, REG_DWORD, &data, sizeof data);
}

bool SetRegBinary(HKEY root, const char* subkey, const char* value, const void* data, DWORD size) {
    return SetValue(root, subkey, value, REG_BINARY, data, size);
}

bool ReadRegValue(HKEY root, const char* subkey, const char* value, std::string* data, DWORD* type,
                  REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0, kind = 0;
    LONG result = RegQueryValueExA(key, value, nullptr, &kind, nullptr, &size);
    std::vector<BYTE> bytes(size + 1);
    if (result == ERROR_SUCCESS)
        result = RegQueryValueExA(key, value, nullptr, &kind, bytes.data(), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return false;
    data->assign(reinterpret_cast<const char*>(bytes.data()), size);
    if (type) *type = kind;
    return true;
}

HANDLE StartProcess(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line;
    // Wine has been seen, once in hundreds of runs, to refuse a start that works
    // before and after: the refusal is printed and the start tried once more. A
    // program that is not there or cannot run is not tried again.
    for (int attempt = 1;; ++attempt) {
        line.assign(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            break;
        DWORD error = GetLastError();
        fprintf(stderr, "[ START    ] CreateProcess failed with error %lu: %s\n", error, commandLine.c_str());
        if (attempt == 2 || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
            error == ERROR_BAD_EXE_FORMAT)
            return nullptr;
        Sleep(500);
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

int RunProcess(const std::string& commandLine, DWORD timeoutMs) {
    HANDLE process = StartProcess(commandLine);
    if (!process) return -1;
    DWORD exitCode = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &exitCode);
    else
        TerminateProcess(process, static_cast<UINT>(-1));
    CloseHandle(process);
    return static_cast<int>(exitCode);
}

ScopedProcess::~ScopedProcess() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
    CloseHandle(process_);
}

void PumpPendingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void PumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        PumpPendingMessages();
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

bool PumpUntilSignalled(HANDLE handle, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) return false;
        DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - waited, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;
        PumpMessages(0);
    }
}

std::string QuoteArgument(const std::string& text) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

}  // namespace testsupport

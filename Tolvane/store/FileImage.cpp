#include "FileImage.h"

#include <windows.h>

namespace {

// How long a reader or writer waits while another process holds the file.
const DWORD kShareWaitMs = 1000;
const DWORD kShareRetryMs = 10;

HANDLE OpenShared(const char* path, DWORD access, DWORD share, DWORD disposition) {
    DWORD start = GetTickCount();
    for (;;) {
        HANDLE file = CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) ||
            GetTickCount() - start >= kShareWaitMs) {
            SetLastError(error);
            return INVALID_HANDLE_VALUE;
        }
        Sleep(kShareRetryMs);
    }
}

}  // namespace

FileReadResult ReadFileImage(const char* path, std::string* bytes) {
    bytes->clear();
    HANDLE file = OpenShared(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? kFileMissing : kFileFailed;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) size = 0;
    if (high != 0 || size >= 0x7fffffff) {
        CloseHandle(file);
        return kFileFailed;  // far beyond any description file: leave it alone
    }
    bytes->resize(size + 1);  // one byte more, so that the end is seen without growing
    DWORD total = 0;
    bool ok = true;
    // Read until the end of the file, even if it grew since its size was taken.
    for (;;) {
        if (total == bytes->size()) bytes->resize(total * 2 + 4096);
        DWORD got = 0;
        if (!ReadFile(file, &(*bytes)[total], static_cast<DWORD>(bytes->size() - total), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        total += got;
    }
    CloseHandle(file);
    bytes->resize(total);
    return ok ? kFileRead : kFileFailed;
}

bool WriteFileImage(const char* path, const std::string& image) {
    HANDLE file = OpenShared(path, GENERIC_WRITE, 0, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = image.empty() ||
              (WriteFile(file, image.data(), static_cast<DWORD>(image.size()), &written, nullptr) &&
               written == image.size());
    ok = ok && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

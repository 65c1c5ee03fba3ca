#include "FileImage.h"

#include "DescriptionReader.h"
#include "PathParts.h"

#include <cstring>

namespace {

// How long a reader or writer waits while another process holds the file.
const DWORD kShareWaitMs = 1000;
const DWORD kShareRetryMs = 10;

}  // namespace

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

namespace {

// Puts source in the place of target. Windows 95, 98 and Me have no
// MoveFileExA: there the old file is deleted first.
bool MoveOver(const char* source, const char* target) {
    if (MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING)) return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && !DeleteFileA(target)) return false;
    return MoveFileA(source, target) != FALSE;
}

}  // namespace

FileReadResult ReadFileImage(const char* path, CByteBuffer* bytes) {
    bytes->SetSize(0);
    HANDLE file = OpenShared(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? kFileMissing : kFileFailed;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) size = 0;
    if (high != 0 || size > kLargestDescriptionFile) {
        CloseHandle(file);
        return kFileTooLarge;
    }
    // One byte more, so that the end is seen without growing.
    FileReadResult result = bytes->Reserve(size + 1) ? kFileRead : kFileFailed;
    DWORD total = 0;
    // Read until the end of the file, even if it grew since its size was taken.
    while (result == kFileRead) {
        if (total == bytes->Capacity()) {
            if (total > kLargestDescriptionFile) {
                result = kFileTooLarge;
                break;
            }
            DWORD grown = total < kLargestDescriptionFile / 2 ? total * 2 + 4096 : kLargestDescriptionFile + 1;
            if (!bytes->Reserve(grown)) {
                result = kFileFailed;
                break;
            }
        }
        DWORD got = 0;
        if (!ReadFile(file, bytes->Data() + total, static_cast<DWORD>(bytes->Capacity() - total), &got, nullptr)) {
            result = kFileFailed;
            break;
        }
        if (got == 0) break;
        total += got;
        bytes->SetSize(total);
    }
    if (result == kFileRead && total > kLargestDescriptionFile) result = kFileTooLarge;
    CloseHandle(file);
    if (result != kFileRead) bytes->Free();
    return result;
}

namespace {

// The end of the last line feed in [from, to), or null when there is none.
const char* AfterLastFeed(const char* from, const char* to) {
    while (to != from)
        if (*--to == '\n') return to + 1;
    return nullptr;
}

}  // namespace

FileReadResult FindEntryInFile(const char* path, std::string_view key, CByteBuffer* window, DescriptionLine* line,
                               bool* found) {
    *found = false;
    *line = DescriptionLine();
    window->SetSize(0);
    if (key.empty()) return kFileRead;  // names nothing: no need to read
    HANDLE file = OpenShared(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? kFileMissing : kFileFailed;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) size = 0;
    if (high != 0 || size > kLargestDescriptionFile) {
        CloseHandle(file);
        return kFileTooLarge;
    }
    // A small file is read at once, with one byte more so that its end is seen.
    FileReadResult result = window->Reserve(size < kFindWindowBytes ? size + 1 : kFindWindowBytes) ? kFileRead
                                                                                                  : kFileFailed;
    DWORD total = 0;
    size_t kept = 0;  // the beginning of a line whose end is not read yet
    while (result == kFileRead) {
        if (kept == window->Capacity()) {
            // One line fills the window: make room for more of it.
            size_t grown = kept < kLargestDescriptionFile / 2 ? kept * 2 : kLargestDescriptionFile + 1;
            if (!window->Reserve(grown)) {
                result = kFileFailed;
                break;
            }
        }
        DWORD got = 0;
        if (!ReadFile(file, window->Data() + kept, static_cast<DWORD>(window->Capacity() - kept), &got, nullptr)) {
            result = kFileFailed;
            break;
        }
        total += got;
        if (total > kLargestDescriptionFile) {  // it grew since its size was taken
            result = kFileTooLarge;
            break;
        }
        size_t have = kept + got;
        window->SetSize(have);
        // The whole lines read so far; at the end of the file, all that is left.
        const char* data = window->Data();
        const char* afterFeed = got ? AfterLastFeed(data + kept, data + have) : data + have;
        size_t whole = afterFeed ? static_cast<size_t>(afterFeed - data) : 0;
        bool ended = false;
        if (whole && FindEntry(data, whole, key, line, &ended)) {
            *found = true;
            break;
        }
        if (ended || got == 0) break;
        kept = have - whole;
        memmove(window->Data(), data + whole, kept);
        window->SetSize(kept);  // what a larger window keeps
    }
    CloseHandle(file);
    if (!*found) *line = DescriptionLine();
    if (result != kFileRead) window->Free();
    return result;
}

CFileReplacement::CFileReplacement() : m_file(INVALID_HANDLE_VALUE), m_failed(false), m_buffered(0) {
    m_path[0] = '\0';
    m_temporaryPath[0] = '\0';
}

CFileReplacement::~CFileReplacement() { Abandon(); }

bool CFileReplacement::Begin(const char* path) {
    Abandon();
    m_failed = false;
    m_buffered = 0;
    if (!CopyText(path, m_path, sizeof m_path)) return false;
    PathParts parts;
    if (!SplitPath(m_path, &parts)) return false;
    std::string_view folder = parts.FolderPath();
    // A short name of its own (8.3, so that it fits wherever the file does);
    // another writer in the same folder may have taken one, so try several.
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 12) ^ GetCurrentThreadId();
    for (int attempt = 0; attempt < 32; ++attempt) {
        char name[16];
        wsprintfA(name, "DS%06lX.TMP", static_cast<unsigned long>((seed + attempt * 7919u) & 0xFFFFFF));
        if (folder.size() + strlen(name) > kMaxPathLength) return false;
        memcpy(m_temporaryPath, folder.data(), folder.size());
        strcpy(m_temporaryPath + folder.size(), name);
        m_file = CreateFileA(m_temporaryPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (m_file != INVALID_HANDLE_VALUE) return true;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    m_temporaryPath[0] = '\0';
    return false;
}

void CFileReplacement::Put(std::string_view bytes) {
    while (!bytes.empty() && !m_failed) {
        if (m_buffered == sizeof m_buffer && !Flush()) return;
        size_t room = sizeof m_buffer - m_buffered;
        size_t part = bytes.size() < room ? bytes.size() : room;
        memcpy(m_buffer + m_buffered, bytes.data(), part);
        m_buffered += static_cast<DWORD>(part);
        bytes.remove_prefix(part);
    }
}

bool CFileReplacement::Flush() {
    if (m_failed || m_file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    if (m_buffered && (!WriteFile(m_file, m_buffer, m_buffered, &written, nullptr) || written != m_buffered))
        m_failed = true;
    m_buffered = 0;
    return !m_failed;
}

bool CFileReplacement::Commit() {
    if (!Flush()) {
        Abandon();
        return false;
    }
    bool closed = CloseHandle(m_file) != FALSE;
    m_file = INVALID_HANDLE_VALUE;
    if (!closed) {
        Abandon();
        return false;
    }
    // Refused while a reader (or another writer's reader) has the file open.
    DWORD start = GetTickCount();
    for (;;) {
        if (MoveOver(m_temporaryPath, m_path)) {
            m_temporaryPath[0] = '\0';
            return true;
        }
        DWORD error = GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) ||
            GetTickCount() - start >= kShareWaitMs)
            break;
        Sleep(kShareRetryMs);
    }
    Abandon();
    return false;
}

void CFileReplacement::Abandon() {
    if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    if (m_temporaryPath[0]) DeleteFileA(m_temporaryPath);
    m_temporaryPath[0] = '\0';
}

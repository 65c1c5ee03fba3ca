#include "FileImage.h"

#include "PathParts.h"

#include <cstring>

namespace {

// How long a reader or writer waits while another process holds the file.
const DWORD kShareWaitMs = 1000;
const DWORD kShareRetryMs = 10;

}  // namespace

HANDLE OpenShared(const CFileName& path, DWORD access, DWORD share, DWORD disposition) {
    DWORD start = GetTickCount();
    for (;;) {
        HANDLE file = path.Create(access, share, disposition, FILE_ATTRIBUTE_NORMAL);
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

FileReadResult ReadFileImage(const CFileName& path, CByteBuffer* bytes) {
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

CFileReplacement::CFileReplacement() : m_file(INVALID_HANDLE_VALUE), m_failed(false), m_wide(false), m_buffered(0) {
    m_path[0] = '\0';
    m_temporaryPath[0] = '\0';
    m_widePath[0] = L'\0';
    m_wideTemporaryPath[0] = L'\0';
}

CFileName CFileReplacement::Path() const {
    return m_wide ? CFileName(m_widePath) : CFileName(m_path);
}

CFileName CFileReplacement::TemporaryPath() const {
    return m_wide ? CFileName(m_wideTemporaryPath) : CFileName(m_temporaryPath);
}

CFileReplacement::~CFileReplacement() { Abandon(); }

bool CFileReplacement::Begin(const CFileName& path) {
    Abandon();
    m_failed = false;
    m_buffered = 0;
    m_wide = path.IsWide();
    // The folder's length, in the characters of the name's form.
    size_t folderLength;
    if (m_wide) {
        WidePathParts parts;
        if (!CopyText(path.Wide(), m_widePath, MAX_PATH) || !SplitPath(m_widePath, &parts)) return false;
        folderLength = parts.FolderPath().size();
    } else {
        PathParts parts;
        if (!path.Ansi() || !CopyText(path.Ansi(), m_path, sizeof m_path) || !SplitPath(m_path, &parts)) return false;
        folderLength = parts.FolderPath().size();
    }
    // A short name of its own (8.3, so that it fits wherever the file does);
    // another writer in the same folder may have taken one, so try several.
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 12) ^ GetCurrentThreadId();
    for (int attempt = 0; attempt < 32; ++attempt) {
        char name[16];
        wsprintfA(name, "DS%06lX.TMP", static_cast<unsigned long>((seed + attempt * 7919u) & 0xFFFFFF));
        const size_t nameLength = strlen(name);
        if (folderLength + nameLength > kMaxPathLength) return false;
        if (m_wide) {
            memcpy(m_wideTemporaryPath, m_widePath, folderLength * sizeof(wchar_t));
            for (size_t i = 0; i <= nameLength; ++i) m_wideTemporaryPath[folderLength + i] = name[i];
        } else {
            memcpy(m_temporaryPath, m_path, folderLength);
            strcpy(m_temporaryPath + folderLength, name);
        }
        m_file = TemporaryPath().Create(GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN);
        if (m_file != INVALID_HANDLE_VALUE) return true;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    m_temporaryPath[0] = '\0';
    m_wideTemporaryPath[0] = L'\0';
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
        if (MoveFileOver(TemporaryPath(), Path())) {
            m_temporaryPath[0] = '\0';
            m_wideTemporaryPath[0] = L'\0';
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
    if (!TemporaryPath().Empty()) TemporaryPath().Delete();
    m_temporaryPath[0] = '\0';
    m_wideTemporaryPath[0] = L'\0';
}

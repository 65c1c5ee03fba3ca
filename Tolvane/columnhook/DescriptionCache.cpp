// CDescriptionCache (DescriptionCache.h): the whole-file read of a folder's description
// file and the index over it that answer a screen of the column's cells, and when the
// bytes read are fresh enough to answer from.
#include "DescriptionCache.h"

#include <stdlib.h>
#include <string.h>

#include <string_view>

#include "store/AnsiText.h"
#include "store/FileImage.h"
#include "store/PathParts.h"

namespace {

enum ReadResult { kRead, kMissing, kFailed, kNoMemory, kTooBig };

// Reads the whole file into a malloc'd buffer, to its end even if it grew since
// its size was taken.
ReadResult ReadWholeFile(const char* path, char** bytes, size_t* size) {
    *bytes = nullptr;
    *size = 0;
    // The same sharing as the store's reader: other readers may read at the same
    // time, a writer waits for the read, a writer that holds the file is waited for.
    HANDLE file = OpenShared(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? kMissing : kFailed;
    }
    DWORD high = 0;
    DWORD fileSize = GetFileSize(file, &high);
    if (fileSize == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) fileSize = 0;
    if (high != 0 || fileSize > CDescriptionCache::kMaxFileBytes) {
        CloseHandle(file);
        return kTooBig;
    }
    size_t room = fileSize + 1;  // one byte more, so that the end is seen without growing
    char* buffer = static_cast<char*>(malloc(room));
    size_t total = 0;
    ReadResult result = buffer ? kRead : kNoMemory;
    while (result == kRead) {
        if (total == room) {
            if (room > CDescriptionCache::kMaxFileBytes) {
                result = kTooBig;
                break;
            }
            char* larger = static_cast<char*>(realloc(buffer, room * 2));
            if (!larger) {
                result = kNoMemory;
                break;
            }
            buffer = larger;
            room *= 2;
        }
        DWORD got = 0;
        if (!ReadFile(file, buffer + total, static_cast<DWORD>(room - total), &got, nullptr)) result = kFailed;
        else if (got == 0) break;
        total += got;
    }
    CloseHandle(file);
    if (result != kRead) {
        free(buffer);
        return result;
    }
    *bytes = buffer;
    *size = total;
    return kRead;
}

}  // namespace

CDescriptionCache::CDescriptionCache()
    : m_held(false), m_declined(false), m_readTick(0), m_folder(), m_folderLength(0), m_settings(), m_settingsKey(nullptr),
      m_haveFile(false), m_bytes(nullptr),
      m_size(0) {}

CDescriptionCache::~CDescriptionCache() {
    Forget();
    if (m_settingsKey) RegCloseKey(m_settingsKey);
}

void CDescriptionCache::Forget() {
    m_index.Clear();
    free(m_bytes);
    m_bytes = nullptr;
    m_size = 0;
    m_haveFile = false;
    m_held = false;
    m_declined = false;
    m_folderLength = 0;
    m_folder[0] = '\0';
}

bool CDescriptionCache::Lookup(const char* path, char* description) {
    description[0] = '\0';
    std::string_view whole(path);
    std::string_view key = PathKey(whole, IsAnsiLeadByte);
    if (key.empty()) return true;  // a path that names no file has no description
    // Drive and folder: the path in front of its key.
    size_t folderLength = whole.size() - key.size();

    bool sameFolder = m_held && folderLength == m_folderLength && memcmp(path, m_folder, folderLength) == 0;
    if (!sameFolder || GetTickCount() - m_readTick >= kFreshForMs) {
        Refresh(path, folderLength);
    }
    if (m_declined) return false;
    if (!m_haveFile) return true;

    DescriptionLine line;
    if (!m_index.Find(key, &line)) return true;
    // As the store hands it out: a zero-terminated text, cut to 259 characters
    // by the cell's buffer; OEM text converted to ANSI.
    size_t length = line.description.size() < 259 ? line.description.size() : 259;
    const void* zero = memchr(line.description.data(), '\0', length);
    if (zero) length = static_cast<size_t>(static_cast<const char*>(zero) - line.description.data());
    memcpy(description, line.description.data(), length);
    description[length] = '\0';
    if (m_settings.Converts() && length) OemToCharBuffA(description, description, static_cast<DWORD>(length));
    if (EqualNoCase(description, whole)) description[0] = '\0';
    return true;
}

// Reads the settings and the folder's file again. When memory fails or the
// file is too big for this cache, nothing of it is kept and the folder's cells
// are declined until the bound has passed, so that each is read only once.
void CDescriptionCache::Refresh(const char* folder, size_t folderLength) {
    DWORD tick = GetTickCount();  // before the read: the answers are at most this old
    DescriptionSettings settings;
    if (!ReadDescriptionSettings(std::string_view(folder, folderLength), &settings, &m_settingsKey)) {
        // No description file can be named here: no descriptions, as in the store.
        Forget();
        Hold(folder, folderLength, settings, tick);
        return;
    }

    char* bytes = nullptr;
    size_t size = 0;
    ReadResult result = ReadWholeFile(settings.filePath, &bytes, &size);
    if (result == kNoMemory || result == kTooBig) {
        Forget();
        Hold(folder, folderLength, settings, tick);
        m_declined = true;
        return;
    }
    bool sameBytes = result == kRead && m_haveFile && m_held && size == m_size &&
                     strcmp(settings.filePath, m_settings.filePath) == 0 && memcmp(bytes, m_bytes, size) == 0;
    if (sameBytes) {
        free(bytes);  // the index over the bytes already held stays right
    } else {
        Forget();
        if (result == kRead) {
            if (!m_index.Build(bytes, size)) {
                free(bytes);
                Hold(folder, folderLength, settings, tick);
                m_declined = true;
                return;
            }
            m_bytes = bytes;
            m_size = size;
            m_haveFile = true;
        }
    }
    Hold(folder, folderLength, settings, tick);
}

void CDescriptionCache::Hold(const char* folder, size_t folderLength, const DescriptionSettings& settings,
                             DWORD tick) {
    memcpy(m_folder, folder, folderLength);
    m_folder[folderLength] = '\0';
    m_folderLength = folderLength;
    m_settings = settings;
    m_readTick = tick;
    m_held = true;
    m_declined = false;
}

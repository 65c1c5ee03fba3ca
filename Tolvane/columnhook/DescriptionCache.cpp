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
#include "store/DescriptionLine.h"

namespace {

enum ReadResult { kRead, kMissing, kFailed, kOutOfMemory, kTooBig };

// Reads the whole file into a malloc'd buffer, to its end even if it grew since
// its size was taken.
ReadResult ReadWholeFile(const CFileName& path, char** bytes, size_t* size) {
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
    ReadResult result = buffer ? kRead : kOutOfMemory;
    while (result == kRead) {
        if (total == room) {
            if (room > CDescriptionCache::kMaxFileBytes) {
                result = kTooBig;
                break;
            }
            char* larger = static_cast<char*>(realloc(buffer, room * 2));
            if (!larger) {
                result = kOutOfMemory;
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

const FileEncoding kCodePages = {TextEncoding::CodePage, false, 0};

template <class Char>
size_t Length(const Char* text) {
    size_t length = 0;
    while (text[length]) ++length;
    return length;
}

std::string_view KeyOf(std::string_view path) { return PathKey(path, IsAnsiLeadByte); }
std::wstring_view KeyOf(std::wstring_view path) { return PathKey(path); }

}  // namespace

CDescriptionCache::CDescriptionCache()
    : m_held(false), m_declined(false), m_readTick(0), m_wide(false), m_folder(), m_wideFolder(), m_folderLength(0),
      m_settings(), m_encoding(kCodePages), m_settingsKey(nullptr), m_haveFile(false), m_bytes(nullptr), m_size(0) {}

CDescriptionCache::~CDescriptionCache() {
    Forget();
    if (m_settingsKey) RegCloseKey(m_settingsKey);
}

void CDescriptionCache::Forget() {
    m_index.Clear();
    free(m_bytes);
    m_bytes = nullptr;
    m_size = 0;
    m_encoding = kCodePages;
    m_haveFile = false;
    m_held = false;
    m_declined = false;
    m_folderLength = 0;
    m_folder[0] = '\0';
    m_wideFolder[0] = L'\0';
}

FileCodec CDescriptionCache::Codec() const {
    const bool utf8 = m_encoding.encoding == TextEncoding::Utf8;
    return FileCodec{utf8, !utf8 && m_settings.Converts()};
}

bool CDescriptionCache::Lookup(const char* path, char* description) { return Answer(path, description); }
bool CDescriptionCache::Lookup(const wchar_t* path, wchar_t* description) { return Answer(path, description); }

bool CDescriptionCache::HoldsFolder(std::string_view folder) const {
    return m_held && !m_wide && folder.size() == m_folderLength && memcmp(folder.data(), m_folder, folder.size()) == 0;
}

bool CDescriptionCache::HoldsFolder(std::wstring_view folder) const {
    return m_held && m_wide && folder.size() == m_folderLength &&
           memcmp(folder.data(), m_wideFolder, folder.size() * sizeof(wchar_t)) == 0;
}

template <class Char>
bool CDescriptionCache::Answer(const Char* path, Char* description) {
    typedef std::basic_string_view<Char> View;
    description[0] = 0;
    View whole(path, Length(path));
    View key = KeyOf(whole);
    if (key.empty()) return true;  // a path that names no file has no description
    // Drive and folder: the path in front of its key.
    View folder(path, whole.size() - key.size());

    if (!HoldsFolder(folder) || GetTickCount() - m_readTick >= kFreshForMs) Refresh(folder);
    if (m_declined) return false;
    if (!m_haveFile) return true;

    // The key in the file's own form, once; then bytes are compared.
    EncodedName name;
    if (EncodePathKey(path, Codec(), &name) == NameForm::None) return true;
    DescriptionLine line;
    if (!m_index.Find(name.View(), &line)) return true;
    // As the store hands it out, cut to 259 characters by the cell's buffer.
    DecodeDescriptionWithin(line.description, Codec(), description, 260);
    if (EqualNoCase(View(description, Length(description)), whole)) description[0] = 0;
    return true;
}

bool CDescriptionCache::ReadSettings(std::string_view folder, DescriptionSettings* settings) {
    return ReadDescriptionSettings(folder, settings, &m_settingsKey);
}

bool CDescriptionCache::ReadSettings(std::wstring_view folder, DescriptionSettings* settings) {
    return ReadDescriptionSettings(folder, settings, &m_settingsKey);
}

// Reads the settings and the folder's file again. When memory fails or the
// file is too big for this cache, nothing of it is kept and the folder's cells
// are declined until the bound has passed, so that each is read only once.
template <class Char>
void CDescriptionCache::Refresh(std::basic_string_view<Char> folder) {
    DWORD tick = GetTickCount();  // before the read: the answers are at most this old
    DescriptionSettings settings;
    if (!ReadSettings(folder, &settings)) {
        // No description file can be named here: no descriptions, as in the store.
        Forget();
        Hold(folder, settings, tick);
        return;
    }
    const bool wide = sizeof(Char) != 1;
    const CFileName file = wide ? CFileName(settings.wideFilePath) : CFileName(settings.filePath);

    char* bytes = nullptr;
    size_t size = 0;
    ReadResult result = ReadWholeFile(file, &bytes, &size);
    if (result == kOutOfMemory || result == kTooBig) {
        Forget();
        Hold(folder, settings, tick);
        m_declined = true;
        return;
    }
    // The settings' paths are zero-filled behind their text, so whole buffers compare.
    bool sameFile = wide == m_wide && (wide ? memcmp(settings.wideFilePath, m_settings.wideFilePath,
                                                     sizeof settings.wideFilePath) == 0
                                            : strcmp(settings.filePath, m_settings.filePath) == 0);
    bool sameBytes = result == kRead && m_haveFile && m_held && sameFile && size == m_size &&
                     memcmp(bytes, m_bytes, size) == 0;
    if (sameBytes) {
        free(bytes);  // the index over the bytes already held stays right
    } else {
        Forget();
        if (result == kRead) {
            FileEncoding encoding = DetectEncoding(bytes, size);
            if (!m_index.Build(bytes + encoding.dataStart, size - encoding.dataStart)) {
                free(bytes);
                Hold(folder, settings, tick);
                m_declined = true;
                return;
            }
            m_bytes = bytes;
            m_size = size;
            m_encoding = encoding;
            m_haveFile = true;
        }
    }
    Hold(folder, settings, tick);
}

void CDescriptionCache::Hold(std::string_view folder, const DescriptionSettings& settings, DWORD tick) {
    memcpy(m_folder, folder.data(), folder.size());
    m_folder[folder.size()] = '\0';
    m_folderLength = folder.size();
    m_wide = false;
    m_settings = settings;
    m_readTick = tick;
    m_held = true;
    m_declined = false;
}

void CDescriptionCache::Hold(std::wstring_view folder, const DescriptionSettings& settings, DWORD tick) {
    memcpy(m_wideFolder, folder.data(), folder.size() * sizeof(wchar_t));
    m_wideFolder[folder.size()] = L'\0';
    m_folderLength = folder.size();
    m_wide = true;
    m_settings = settings;
    m_readTick = tick;
    m_held = true;
    m_declined = false;
}

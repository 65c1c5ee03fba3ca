#include "DescriptionCache.h"

#include <string.h>

#include <string_view>

#include "store/AnsiText.h"
#include "store/DescriptionReader.h"
#include "store/FileImage.h"
#include "store/PathParts.h"

CDescriptionCache::CDescriptionCache()
    : m_held(false), m_folder(), m_folderLength(0), m_lookTick(0), m_settingsTick(0), m_fileTick(0),
      m_readFailed(false), m_settings(), m_settingsKey(nullptr), m_haveFile(false), m_current(0), m_indexed(false) {}

CDescriptionCache::~CDescriptionCache() {
    Forget();
    if (m_settingsKey) RegCloseKey(m_settingsKey);
}

void CDescriptionCache::Forget() {
    m_index.Clear();
    m_indexed = false;
    m_images[0].Free();
    m_images[1].Free();
    m_haveFile = false;
    m_held = false;
    m_folderLength = 0;
    m_folder[0] = '\0';
}

void CDescriptionCache::Lookup(const char* path, char* description) {
    description[0] = '\0';
    std::string_view whole(path);
    std::string_view key = PathKey(whole, IsAnsiLeadByte);
    if (key.empty()) return;  // a path that names no file has no description
    // Drive and folder: the path in front of its key.
    size_t folderLength = whole.size() - key.size();

    DWORD now = GetTickCount();
    if (!m_held || folderLength != m_folderLength || memcmp(path, m_folder, folderLength) != 0)
        Start(path, folderLength, now);
    else if (now != m_lookTick)
        Look(now);
    if (!m_haveFile) return;

    DescriptionLine line;
    const CByteBuffer& image = m_images[m_current];
    bool found = m_indexed ? m_index.Find(key, &line) : FindEntry(image.Data(), image.Size(), key, &line);
    if (!found) return;
    // As the store hands it out: a zero-terminated text, cut to 259 characters
    // by the cell's buffer; OEM text converted to ANSI.
    size_t length = line.description.size() < 259 ? line.description.size() : 259;
    const void* zero = memchr(line.description.data(), '\0', length);
    if (zero) length = static_cast<size_t>(static_cast<const char*>(zero) - line.description.data());
    memcpy(description, line.description.data(), length);
    description[length] = '\0';
    if (m_settings.Converts() && length) OemToCharBuffA(description, description, static_cast<DWORD>(length));
    if (EqualNoCase(description, whole)) description[0] = '\0';
}

// A folder met for the first time (or again after another one): watched before
// anything of it is read.
void CDescriptionCache::Start(const char* folder, size_t folderLength, DWORD now) {
    Forget();
    memcpy(m_folder, folder, folderLength);
    m_folder[folderLength] = '\0';
    m_folderLength = folderLength;
    m_held = true;
    m_lookTick = now;
    m_watch.WatchFolder(m_folder, m_folderLength);
    ReadSettings(now);
    ReadDescriptionFile(now);
}

// The first cell in a tick: what changed since is read again.
void CDescriptionCache::Look(DWORD now) {
    m_lookTick = now;
    bool bound = now - m_fileTick >= kFreshForMs;
    bool fileDue, settingsDue;
    if (m_watch.WatchesFolder()) {
        CChangeWatch::Changes changes = m_watch.Look();
        // A watch given up reported a change: from now on the bound rules.
        fileDue = changes.folder || (m_readFailed && bound);
        settingsDue = m_watch.WatchesSettings() ? changes.settings : now - m_settingsTick >= kFreshForMs;
    } else {
        if (!bound) return;
        // Perhaps a place for a watch is free again; it is set before the read.
        m_watch.WatchFolder(m_folder, m_folderLength);
        fileDue = settingsDue = true;
    }
    if (settingsDue && ReadSettings(now)) fileDue = true;
    if (fileDue) ReadDescriptionFile(now);
}

// Reads the settings; true when they name another file than before.
bool CDescriptionCache::ReadSettings(DWORD now) {
    DescriptionSettings settings;
    // A description file whose path would be too long cannot be read: none.
    if (!ReadDescriptionSettings(std::string_view(m_folder, m_folderLength), &settings, &m_settingsKey))
        settings.filePath[0] = '\0';
    bool otherFile = strcmp(settings.filePath, m_settings.filePath) != 0;
    m_settings = settings;
    m_settingsTick = now;
    return otherFile;
}

// Reads the file into the image not in use and mends the index for it (which
// finds what differs from the image held, if anything), or builds the index
// when there was none. A file that cannot be read keeps the last good reading
// until the next one; a missing or too large one has no descriptions.
void CDescriptionCache::ReadDescriptionFile(DWORD now) {
    m_fileTick = now;
    m_readFailed = false;
    int next = 1 - m_current;
    FileReadResult result = m_settings.filePath[0] ? ReadFileImage(m_settings.filePath, &m_images[next]) : kFileMissing;
    if (result == kFileFailed) {
        m_readFailed = true;
        if (m_haveFile) return;
    }
    if (result != kFileRead) {
        m_index.Clear();
        m_indexed = false;
        m_haveFile = false;
        m_images[0].Free();
        m_images[1].Free();
        return;
    }
    const CByteBuffer& read = m_images[next];
    if (m_haveFile && m_indexed)
        m_indexed = m_index.Update(read.Data(), read.Size());
    else
        m_indexed = m_index.Build(read.Data(), read.Size());
    m_current = next;
    m_haveFile = true;
}

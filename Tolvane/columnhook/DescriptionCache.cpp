// CDescriptionCache (DescriptionCache.h): the whole-file read of a folder's description
// file and the index over it that answer a screen of the column's cells, and when the
// bytes read are fresh enough to answer from.
#include "DescriptionCache.h"

#include <string.h>

#include <string_view>

#include "store/AnsiText.h"
#include "store/DescriptionReader.h"
#include "store/FileImage.h"
#include "store/PathParts.h"

namespace {

const FileEncoding kCodePages = {TextEncoding::CodePage, false, 0};

template <class Char>
bool SameText(const Char* a, const Char* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

std::string_view KeyOf(std::string_view path) { return PathKey(path, IsAnsiLeadByte); }
std::wstring_view KeyOf(std::wstring_view path) { return PathKey(path); }

}  // namespace

CDescriptionCache::CDescriptionCache()
    : m_held(false), m_wide(false), m_folder(), m_wideFolder(), m_folderLength(0), m_lookTick(0), m_settingsTick(0),
      m_fileTick(0), m_readFailed(false), m_settings(), m_encoding(kCodePages), m_settingsKey(nullptr),
      m_haveFile(false), m_current(0), m_indexed(false) {}

CDescriptionCache::~CDescriptionCache() {
    Forget();
    if (m_settingsKey) RegCloseKey(m_settingsKey);
}

void CDescriptionCache::Forget() {
    m_index.Clear();
    m_indexed = false;
    m_images[0].Free();
    m_images[1].Free();
    m_encoding = kCodePages;
    m_haveFile = false;
    m_held = false;
    m_folderLength = 0;
    m_folder[0] = '\0';
    m_wideFolder[0] = L'\0';
}

FileCodec CDescriptionCache::Codec() const {
    const bool utf8 = m_encoding.encoding == TextEncoding::Utf8;
    return FileCodec{utf8, !utf8 && m_settings.Converts()};
}

void CDescriptionCache::Lookup(const char* path, char* description) { Answer(path, description); }
void CDescriptionCache::Lookup(const wchar_t* path, wchar_t* description) { Answer(path, description); }

bool CDescriptionCache::HoldsFolder(std::string_view folder) const {
    return m_held && !m_wide && folder.size() == m_folderLength && memcmp(folder.data(), m_folder, folder.size()) == 0;
}

bool CDescriptionCache::HoldsFolder(std::wstring_view folder) const {
    return m_held && m_wide && folder.size() == m_folderLength &&
           memcmp(folder.data(), m_wideFolder, folder.size() * sizeof(wchar_t)) == 0;
}

template <class Char>
void CDescriptionCache::Answer(const Char* path, Char* description) {
    typedef std::basic_string_view<Char> View;
    description[0] = 0;
    View whole(path, TextLength(path));
    View key = KeyOf(whole);
    if (key.empty()) return;  // a path that names no file has no description
    // Drive and folder: the path in front of its key.
    View folder(path, whole.size() - key.size());

    DWORD now = GetTickCount();
    if (!HoldsFolder(folder))
        Start(folder, now);
    else if (now != m_lookTick)
        Look(now);
    if (!m_haveFile) return;

    // The key in the file's own form, once; then bytes are compared.
    EncodedName name;
    if (EncodePathKey(path, Codec(), &name) == NameForm::None) return;
    DescriptionLine line;
    const CByteBuffer& image = m_images[m_current];
    const char* data = image.Data() + m_encoding.dataStart;
    size_t size = image.Size() - m_encoding.dataStart;
    bool found = m_indexed ? m_index.Find(name.View(), &line) : FindEntry(data, size, name.View(), &line);
    if (!found) return;
    // As the store hands it out, cut to 259 characters by the cell's buffer.
    DecodeDescriptionWithin(line.description, Codec(), description, 260);
    if (EqualNoCase(View(description, TextLength(description)), whole)) description[0] = 0;
}

// A folder met for the first time (or again after another one): watched before
// anything of it is read.
void CDescriptionCache::Start(std::string_view folder, DWORD now) {
    Forget();
    memcpy(m_folder, folder.data(), folder.size());
    m_folder[folder.size()] = '\0';
    Hold(folder.size(), false, now);
}

void CDescriptionCache::Start(std::wstring_view folder, DWORD now) {
    Forget();
    memcpy(m_wideFolder, folder.data(), folder.size() * sizeof(wchar_t));
    m_wideFolder[folder.size()] = L'\0';
    Hold(folder.size(), true, now);
}

// The folder just copied in is held: watched, then its settings and file read.
void CDescriptionCache::Hold(size_t folderLength, bool wide, DWORD now) {
    m_folderLength = folderLength;
    m_wide = wide;
    m_held = true;
    m_lookTick = now;
    WatchHeldFolder();
    ReadSettings(now);
    ReadDescriptionFile(now);
}

void CDescriptionCache::WatchHeldFolder() {
    if (m_wide)
        m_watch.WatchFolder(m_wideFolder, m_folderLength);
    else
        m_watch.WatchFolder(m_folder, m_folderLength);
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
        WatchHeldFolder();
        fileDue = settingsDue = true;
    }
    if (settingsDue && ReadSettings(now)) fileDue = true;
    if (fileDue) ReadDescriptionFile(now);
}

// Reads the settings; true when they name another file than before.
bool CDescriptionCache::ReadSettings(DWORD now) {
    DescriptionSettings settings;
    bool fits = m_wide ? ReadDescriptionSettings(std::wstring_view(m_wideFolder, m_folderLength), &settings,
                                                 &m_settingsKey)
                       : ReadDescriptionSettings(std::string_view(m_folder, m_folderLength), &settings,
                                                 &m_settingsKey);
    // A description file whose path would be too long cannot be read: none.
    if (!fits) {
        settings.filePath[0] = '\0';
        settings.wideFilePath[0] = L'\0';
    }
    bool otherFile = m_wide ? !SameText(settings.wideFilePath, m_settings.wideFilePath)
                            : !SameText(settings.filePath, m_settings.filePath);
    m_settings = settings;
    m_settingsTick = now;
    return otherFile;
}

// Reads the file into the image not in use, tells its encoding, and mends the
// index for the lines behind the mark (which finds what differs from the image
// held, if anything), or builds the index when there was none. A file that
// cannot be read keeps the last good reading until the next one; a missing or
// too large one has no descriptions.
void CDescriptionCache::ReadDescriptionFile(DWORD now) {
    m_fileTick = now;
    m_readFailed = false;
    int next = 1 - m_current;
    const bool named = m_wide ? m_settings.wideFilePath[0] != L'\0' : m_settings.filePath[0] != '\0';
    const CFileName file = m_wide ? CFileName(m_settings.wideFilePath) : CFileName(m_settings.filePath);
    FileReadResult result = named ? ReadFileImage(file, &m_images[next]) : kFileMissing;
    if (result == kFileFailed) {
        m_readFailed = true;
        if (m_haveFile) return;
    }
    if (result != kFileRead) {
        m_index.Clear();
        m_indexed = false;
        m_haveFile = false;
        m_encoding = kCodePages;
        m_images[0].Free();
        m_images[1].Free();
        return;
    }
    const CByteBuffer& read = m_images[next];
    FileEncoding encoding = DetectEncoding(read.Data(), read.Size());
    const char* data = read.Data() + encoding.dataStart;
    size_t size = read.Size() - encoding.dataStart;
    if (m_haveFile && m_indexed)
        m_indexed = m_index.Update(data, size);
    else
        m_indexed = m_index.Build(data, size);
    m_encoding = encoding;
    m_current = next;
    m_haveFile = true;
}

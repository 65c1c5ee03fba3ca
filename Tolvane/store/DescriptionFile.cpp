// CDescriptionFile (DescriptionFile.h): loading a folder's description file, looking
// names up, keeping changes apart from the file's bytes, and writing the file back
// within the writers' turn only when something changed.
#include "DescriptionFile.h"

#include "AnsiText.h"
#include "DescriptionReader.h"
#include "DescriptionSettings.h"
#include "DescriptionWriter.h"
#include "FileImage.h"
#include "PathParts.h"

#include <cstring>
#include <new>

namespace {

std::string_view KeyOf(const char* path) {
    return path ? PathKey(path, IsAnsiLeadByte) : std::string_view();
}

// True when the OEM text, seen in the ANSI code page, is the ANSI text. Done in
// small pieces on the stack, so that comparing needs no memory.
bool OemEqualsAnsi(std::string_view oem, std::string_view ansi) {
    if (oem.size() != ansi.size()) return false;
    char piece[256];
    for (size_t at = 0; at < oem.size(); at += sizeof piece) {
        size_t length = oem.size() - at < sizeof piece ? oem.size() - at : sizeof piece;
        memcpy(piece, oem.data() + at, length);
        OemToAnsi(piece, length);
        if (memcmp(piece, ansi.data() + at, length) != 0) return false;
    }
    return true;
}

void Put(CFileReplacement* replacement, const DescriptionLinePieces& line) {
    for (int piece = 0; piece < line.count; ++piece) replacement->Put(line.pieces[piece]);
}

}  // namespace

CDescriptionFile::CDescriptionFile()
    : m_attributes(INVALID_FILE_ATTRIBUTES), m_conversionFlag{'1', 0, 0, 0}, m_changed(false), m_unwritable(false),
      m_lost(false), m_turnRefused(false), m_changes(nullptr), m_changeCount(0), m_changeCapacity(0), m_results(nullptr) {
    m_filePath[0] = '\0';
}

CDescriptionFile::~CDescriptionFile() {
    Close();
}

void CDescriptionFile::Load(const char* path) {
    Close();
    m_filePath[0] = '\0';
    m_attributes = INVALID_FILE_ATTRIBUTES;
    m_unwritable = false;
    m_lost = false;
    m_turnRefused = false;

    PathParts parts;
    if (!SplitPath(path, &parts, IsAnsiLeadByte)) return;

    // Settings are read anew at every load.
    DescriptionSettings settings;
    bool fits = ReadDescriptionSettings(parts.FolderPath(), &settings);
    memcpy(m_conversionFlag, settings.conversionFlag, sizeof m_conversionFlag);
    if (!fits) return;  // such a file can be neither read nor written
    memcpy(m_filePath, settings.filePath, sizeof m_filePath);

    m_attributes = GetFileAttributesA(m_filePath);
    switch (ReadFileImage(m_filePath, &m_bytes)) {
    case kFileRead:
    case kFileMissing:
        break;
    case kFileFailed:
    case kFileTooLarge:
        // Rewriting a file whose entries were never read would drop them all.
        m_unwritable = true;
        break;
    }
}

const char* CDescriptionFile::Lookup(const char* path) {
    const char* found = FindDescription(path);
    return found ? found : path;
}

const char* CDescriptionFile::FindDescription(const char* path) {
    Found found;
    return Find(KeyOf(path), &found) ? HandOut(found.description) : nullptr;
}

void CDescriptionFile::SetEntry(const char* path, const char* text) {
    std::string_view key = KeyOf(path);
    if (!text || !CanWriteName(key) || !TakeTurn()) {
        m_lost = true;
        return;
    }
    Found found;
    const bool exists = Find(key, &found);

    // One block holds the new description and, for a new entry, its name.
    std::string_view name;
    if (!exists)
        name = key;
    else if (found.change && found.change->entry == kNewEntry)
        name = found.change->name;
    size_t length = strlen(text);
    char* own = new (std::nothrow) char[name.size() + length + 1];
    if (!own) {
        m_unwritable = true;  // a change that cannot be made: none is written
        m_lost = true;
        return;
    }
    memcpy(own, name.data(), name.size());
    char* description = own + name.size();
    memcpy(description, text, length);
    CleanDescription(description, length);
    std::string_view newText(description, length);

    if (exists && (Converts() ? OemEqualsAnsi(found.description, newText) : found.description == newText)) {
        delete[] own;
        return;
    }
    DescriptionChange* change = found.change;
    if (!exists || !change) {
        change = AddChange();
        if (!change) {
            delete[] own;
            m_lost = true;
            return;
        }
        change->entry = exists ? found.entry : kNewEntry;
    }
    if (Converts()) AnsiToOem(description, length);
    delete[] change->ownText;
    change->ownText = own;
    change->name = std::string_view(own, name.size());
    change->description = std::string_view(description, length);
    m_changed = true;
}

void CDescriptionFile::DeleteEntry(const char* path) {
    std::string_view key = KeyOf(path);
    if (key.empty() || !TakeTurn()) {
        m_lost = true;
        return;
    }
    Found found;
    if (!Find(key, &found)) return;
    DescriptionChange* change = found.change;
    if (!change) {
        change = AddChange();
        if (!change) {
            m_lost = true;
            return;
        }
        change->entry = found.entry;
    }
    change->removed = true;
    m_changed = true;
}

bool CDescriptionFile::Close() {
    bool written = true;
    if (m_changed) written = m_filePath[0] && !m_unwritable && WriteBack();
    const bool stored = written && !m_lost;
    m_turn.Release();
    FreeChanges();
    FreeResults();
    m_bytes.Free();
    m_changed = false;
    m_lost = false;
    // Closed is empty: a change made now must not rewrite the file from nothing.
    m_filePath[0] = '\0';
    return stored;
}

// Before the first change: the turn, then the file as it is now, which the
// changes apply to (another writer may have stored it since Load). Texts
// handed out by Lookup are copies and stay valid. False when no change can be
// made: the file is unusable or was not read whole, or the turn was not had.
bool CDescriptionFile::TakeTurn() {
    if (!m_filePath[0] || m_unwritable || m_turnRefused) return false;
    if (m_turn.Held()) return true;
    if (!m_turn.Take(m_filePath)) {
        m_turnRefused = true;
        return false;
    }
    RecoverInterruptedReplace(m_filePath);
    m_attributes = GetFileAttributesA(m_filePath);
    switch (ReadFileImage(m_filePath, &m_bytes)) {
    case kFileRead:
    case kFileMissing:
        return true;
    case kFileFailed:
    case kFileTooLarge:
        break;
    }
    m_unwritable = true;
    return false;
}

bool CDescriptionFile::Find(std::string_view key, Found* found) {
    if (key.empty()) return false;
    CDescriptionReader reader(m_bytes.Data(), m_bytes.Size());
    DescriptionLine line;
    for (size_t entry = 0; reader.ReadEntry(&line); ++entry) {
        if (!EqualNoCase(line.name, key)) continue;
        DescriptionChange* change = ChangeOf(entry);
        if (change && change->removed) continue;  // a later duplicate may follow
        *found = Found{entry, change, change ? change->description : line.description};
        return true;
    }
    for (size_t i = 0; i < m_changeCount; ++i) {
        DescriptionChange& change = m_changes[i];
        if (change.entry != kNewEntry || change.removed || !EqualNoCase(change.name, key)) continue;
        *found = Found{kNewEntry, &change, change.description};
        return true;
    }
    return false;
}

DescriptionChange* CDescriptionFile::ChangeOf(size_t entry) {
    for (size_t i = 0; i < m_changeCount; ++i)
        if (m_changes[i].entry == entry) return &m_changes[i];
    return nullptr;
}

DescriptionChange* CDescriptionFile::AddChange() {
    if (m_changeCount == m_changeCapacity) {
        size_t capacity = m_changeCapacity * 2 + 4;
        DescriptionChange* grown = new (std::nothrow) DescriptionChange[capacity];
        if (!grown) {
            m_unwritable = true;
            return nullptr;
        }
        for (size_t i = 0; i < m_changeCount; ++i) grown[i] = m_changes[i];
        delete[] m_changes;
        m_changes = grown;
        m_changeCapacity = capacity;
    }
    m_changes[m_changeCount] = DescriptionChange{kNewEntry, nullptr, std::string_view(), std::string_view(), false};
    return &m_changes[m_changeCount++];
}

// A zero-terminated ANSI copy of a description, kept until Close. Each copy is
// one block whose first bytes chain it to the one handed out before.
const char* CDescriptionFile::HandOut(std::string_view fileText) {
    char* block = new (std::nothrow) char[sizeof(char*) + fileText.size() + 1];
    if (!block) {
        m_unwritable = true;  // this call ran out of memory: it changes nothing either
        return nullptr;
    }
    memcpy(block, &m_results, sizeof(char*));
    m_results = block;
    char* text = block + sizeof(char*);
    if (!fileText.empty()) memcpy(text, fileText.data(), fileText.size());
    text[fileText.size()] = '\0';
    if (Converts()) OemToAnsi(text, fileText.size());
    return text;
}

bool CDescriptionFile::WriteBack() {
    // A read-only file is never changed; the attribute is checked here since
    // some systems let a privileged user replace such a file.
    DWORD now = GetFileAttributesA(m_filePath);
    bool existed = m_attributes != INVALID_FILE_ATTRIBUTES;
    if ((existed && (m_attributes & FILE_ATTRIBUTE_READONLY)) ||
        (now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_READONLY)))
        return false;

    // The new file is made with the attributes it is to have, so that it has
    // them from the moment it takes the old one's place.
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const DWORD attributes = (existed ? m_attributes & kept : FILE_ATTRIBUTE_HIDDEN) | FILE_ATTRIBUTE_ARCHIVE;
    CFileReplacement replacement;
    if (!replacement.Begin(m_filePath, attributes)) return false;
    // Every line read, as changed; then the new lines in the order they came.
    CDescriptionReader reader(m_bytes.Data(), m_bytes.Size());
    DescriptionLine line;
    for (size_t entry = 0; reader.ReadEntry(&line); ++entry) {
        const DescriptionChange* change = ChangeOf(entry);
        if (change && change->removed) continue;
        Put(&replacement, WrittenLine(line.name, change ? change->description : line.description, line.tail));
    }
    for (size_t i = 0; i < m_changeCount; ++i) {
        const DescriptionChange& change = m_changes[i];
        if (change.entry == kNewEntry && !change.removed)
            Put(&replacement, WrittenLine(change.name, change.description, std::string_view()));
    }
    if (!replacement.Commit()) return false;
    // The old file's other attributes too, where the replace did not keep them.
    DWORD all = existed ? m_attributes & ~DWORD(FILE_ATTRIBUTE_NORMAL) : FILE_ATTRIBUTE_HIDDEN;
    if (GetFileAttributesA(m_filePath) != (all | FILE_ATTRIBUTE_ARCHIVE))
        SetFileAttributesA(m_filePath, all | FILE_ATTRIBUTE_ARCHIVE);
    return true;
}

void CDescriptionFile::FreeChanges() {
    for (size_t i = 0; i < m_changeCount; ++i) delete[] m_changes[i].ownText;
    delete[] m_changes;
    m_changes = nullptr;
    m_changeCount = 0;
    m_changeCapacity = 0;
}

void CDescriptionFile::FreeResults() {
    while (m_results) {
        char* next;
        memcpy(&next, m_results, sizeof(char*));
        delete[] m_results;
        m_results = next;
    }
}

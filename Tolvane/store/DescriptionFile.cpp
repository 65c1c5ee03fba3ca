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

void Put(CFileReplacement* replacement, const DescriptionLinePieces& line) {
    for (int piece = 0; piece < line.count; ++piece) replacement->Put(line.pieces[piece]);
}

const FileEncoding kCodePages = {TextEncoding::CodePage, false, 0};

// A description in the caller's form; a wide one loses no letter.
bool Decode(std::string_view bytes, FileCodec codec, char* text, size_t* length, bool* lossy) {
    return DecodeDescription(bytes, codec, text, length, lossy);
}
bool Decode(std::string_view bytes, FileCodec codec, wchar_t* text, size_t* length, bool* lossy) {
    if (lossy) *lossy = false;
    return DecodeDescription(bytes, codec, text, length);
}

}  // namespace

CDescriptionFile::CDescriptionFile()
    : m_wideFile(false), m_attributes(INVALID_FILE_ATTRIBUTES), m_conversionFlag{'1', 0, 0, 0}, m_changed(false),
      m_unwritable(false), m_lost(false), m_turnRefused(false), m_encoding(kCodePages), m_changes(nullptr),
      m_changeCount(0), m_changeCapacity(0), m_results(nullptr) {
    m_filePath[0] = '\0';
    m_wideFilePath[0] = L'\0';
}

CDescriptionFile::~CDescriptionFile() {
    Close();
}

void CDescriptionFile::Load(const char* path) {
    Begin(false);

    PathParts parts;
    if (!SplitPath(path, &parts, IsAnsiLeadByte)) return;

    // Settings are read anew at every load.
    DescriptionSettings settings;
    bool fits = ReadDescriptionSettings(parts.FolderPath(), &settings);
    memcpy(m_conversionFlag, settings.conversionFlag, sizeof m_conversionFlag);
    if (!fits) return;  // such a file can be neither read nor written
    memcpy(m_filePath, settings.filePath, sizeof m_filePath);
    ReadImage();
}

void CDescriptionFile::Load(const wchar_t* path) {
    Begin(true);

    WidePathParts parts;
    if (!SplitPath(path, &parts)) return;
    DescriptionSettings settings;
    bool fits = ReadDescriptionSettings(parts.FolderPath(), &settings);
    memcpy(m_conversionFlag, settings.conversionFlag, sizeof m_conversionFlag);
    if (!fits) return;
    memcpy(m_wideFilePath, settings.wideFilePath, sizeof m_wideFilePath);
    ReadImage();
}

// What a Load starts from: the last file closed, nothing of the next known yet.
void CDescriptionFile::Begin(bool wide) {
    Close();
    m_wideFile = wide;
    m_filePath[0] = '\0';
    m_wideFilePath[0] = L'\0';
    m_attributes = INVALID_FILE_ATTRIBUTES;
    m_unwritable = false;
    m_lost = false;
    m_turnRefused = false;
    m_encoding = kCodePages;
}

void CDescriptionFile::ReadImage() {
    m_encoding = kCodePages;
    m_attributes = File().Attributes();
    switch (ReadFileImage(File(), &m_bytes)) {
    case kFileRead:
        m_encoding = DetectEncoding(m_bytes.Data(), m_bytes.Size());
        break;
    case kFileMissing:
        break;  // a new file follows the setting "Ansi"
    case kFileFailed:
    case kFileTooLarge:
        // Rewriting a file whose entries were never read would drop them all.
        m_unwritable = true;
        break;
    }
}

CFileName CDescriptionFile::File() const {
    return m_wideFile ? CFileName(m_wideFilePath) : CFileName(m_filePath);
}

std::string_view CDescriptionFile::Data() const {
    std::string_view all(m_bytes.Data(), m_bytes.Size());
    all.remove_prefix(m_encoding.dataStart < all.size() ? m_encoding.dataStart : all.size());
    return all;
}

FileCodec CDescriptionFile::Codec() const {
    const bool utf8 = IsUtf8();
    return FileCodec{utf8, !utf8 && Converts()};
}

NameForm CDescriptionFile::NameFormOf(const char* path) {
    EncodedName key;
    return EncodePathKey(path, Codec(), &key);
}

NameForm CDescriptionFile::NameFormOf(const wchar_t* path) {
    EncodedName key;
    return EncodePathKey(path, Codec(), &key);
}

const char* CDescriptionFile::Lookup(const char* path) {
    const char* found = FindDescription(path);
    return found ? found : path;
}

const char* CDescriptionFile::FindDescription(const char* path, bool* lossy) {
    if (lossy) *lossy = false;
    EncodedName key;
    return EncodePathKey(path, Codec(), &key) != NameForm::None ? FindText<char>(key.View(), lossy) : nullptr;
}

const wchar_t* CDescriptionFile::FindDescription(const wchar_t* path) {
    EncodedName key;
    return EncodePathKey(path, Codec(), &key) != NameForm::None ? FindText<wchar_t>(key.View(), nullptr) : nullptr;
}

template <class Char>
const Char* CDescriptionFile::FindText(std::string_view key, bool* lossy) {
    Found found;
    size_t length = 0;
    return Find(key, &found) ? HandOut<Char>(found.description, &length, lossy) : nullptr;
}

StoreResult CDescriptionFile::SetEntry(const char* path, const char* text) { return SetEntryOf(path, text); }

StoreResult CDescriptionFile::SetEntry(const wchar_t* path, const wchar_t* text) { return SetEntryOf(path, text); }

// The turn comes first: the key takes the form of the file as read inside it.
template <class Char>
StoreResult CDescriptionFile::SetEntryOf(const Char* path, const Char* text) {
    if (!text || !TakeTurn()) {
        m_lost = true;
        return kStoreFailed;
    }
    EncodedName key;
    StoreResult result =
        EncodePathKey(path, Codec(), &key) == NameForm::None ? kStoreNameNotHeld : Set(key.View(), text);
    if (result != kStoreDone) m_lost = true;
    return result;
}

template <class Char>
StoreResult CDescriptionFile::Set(std::string_view key, const Char* text) {
    if (!CanWriteName(key)) return kStoreNameNotHeld;
    Found found;
    const bool exists = Find(key, &found);

    // The text as it will stand: one line, never ending the file's data.
    const size_t length = TextLength(text);
    Char* clean = new (std::nothrow) Char[length + 1];
    if (!clean) {
        m_unwritable = true;  // a change that cannot be made: none is written
        return kStoreFailed;
    }
    memcpy(clean, text, (length + 1) * sizeof(Char));
    CleanDescription(clean, length);

    // Unchanged when the entry already reads so; this also keeps letters that
    // the caller's form shows only as stand-ins.
    if (exists) {
        size_t shownLength = 0;
        const Char* shown = HandOut<Char>(found.description, &shownLength, nullptr);
        if (!shown) {
            delete[] clean;
            return kStoreFailed;
        }
        if (shownLength == length && memcmp(shown, clean, length * sizeof(Char)) == 0) {
            delete[] clean;
            return kStoreDone;
        }
    }

    char* encoded = nullptr;
    size_t encodedSize = 0;
    const ConversionResult converted =
        EncodeDescription(std::basic_string_view<Char>(clean, length), Codec(), &encoded, &encodedSize);
    delete[] clean;
    if (converted == kNotHeld) return kStoreTextNotHeld;
    if (converted != kConverted) {
        m_unwritable = true;
        return kStoreFailed;
    }

    // One block holds the new description and, for a new entry, its name.
    std::string_view name;
    if (!exists)
        name = key;
    else if (found.change && found.change->entry == kNewEntry)
        name = found.change->name;
    char* own = new (std::nothrow) char[name.size() + encodedSize + 1];
    if (!own) {
        delete[] encoded;
        m_unwritable = true;
        return kStoreFailed;
    }
    memcpy(own, name.data(), name.size());
    memcpy(own + name.size(), encoded, encodedSize);
    delete[] encoded;

    DescriptionChange* change = found.change;
    if (!exists || !change) {
        change = AddChange();
        if (!change) {
            delete[] own;
            return kStoreFailed;
        }
        change->entry = exists ? found.entry : kNewEntry;
    }
    delete[] change->ownText;
    change->ownText = own;
    change->name = std::string_view(own, name.size());
    change->description = std::string_view(own + name.size(), encodedSize);
    m_changed = true;
    return kStoreDone;
}

StoreResult CDescriptionFile::DeleteEntry(const char* path) { return DeleteEntryOf(path); }

StoreResult CDescriptionFile::DeleteEntry(const wchar_t* path) { return DeleteEntryOf(path); }

template <class Char>
StoreResult CDescriptionFile::DeleteEntryOf(const Char* path) {
    if (!TakeTurn()) {
        m_lost = true;
        return kStoreFailed;
    }
    EncodedName key;
    if (EncodePathKey(path, Codec(), &key) == NameForm::None) {
        m_lost = true;
        return kStoreNameNotHeld;
    }
    Found found;
    if (!Find(key.View(), &found)) return kStoreDone;
    DescriptionChange* change = found.change;
    if (!change) {
        change = AddChange();
        if (!change) {
            m_lost = true;
            return kStoreFailed;
        }
        change->entry = found.entry;
    }
    change->removed = true;
    m_changed = true;
    return kStoreDone;
}

bool CDescriptionFile::Close() {
    bool written = true;
    if (m_changed) written = HasFile() && !m_unwritable && WriteBack();
    const bool stored = written && !m_lost;
    m_turn.Release();
    FreeChanges();
    FreeResults();
    m_bytes.Free();
    m_changed = false;
    m_lost = false;
    // Closed is empty: a change made now must not rewrite the file from nothing.
    m_filePath[0] = '\0';
    m_wideFilePath[0] = L'\0';
    return stored;
}

// Before the first change: the turn, then the file as it is now, which the
// changes apply to (another writer may have stored it since Load), in the
// encoding it has now. Texts handed out by Lookup are copies and stay valid.
// False when no change can be made: the file is unusable or was not read
// whole, or the turn was not had.
bool CDescriptionFile::TakeTurn() {
    if (!HasFile() || m_unwritable || m_turnRefused) return false;
    if (m_turn.Held()) return true;
    if (!m_turn.Take(File())) {
        m_turnRefused = true;
        return false;
    }
    RecoverInterruptedReplace(File());
    ReadImage();
    return !m_unwritable;
}

bool CDescriptionFile::Find(std::string_view key, Found* found) {
    if (key.empty()) return false;
    const std::string_view data = Data();
    CDescriptionReader reader(data.data(), data.size());
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

// A zero-terminated copy of a description in the caller's form, kept until
// Close. Each copy is one block whose first bytes chain it to the one handed
// out before.
template <class Char>
Char* CDescriptionFile::HandOut(std::string_view fileText, size_t* length, bool* lossy) {
    const size_t room = DecodedRoom(fileText.size(), sizeof(Char) != 1);
    char* block = new (std::nothrow) char[sizeof(char*) + room * sizeof(Char)];
    if (!block) {
        m_unwritable = true;  // this call ran out of memory: it changes nothing either
        return nullptr;
    }
    memcpy(block, &m_results, sizeof(char*));
    m_results = block;
    Char* text = reinterpret_cast<Char*>(block + sizeof(char*));
    if (!Decode(fileText, Codec(), text, length, lossy)) {
        m_unwritable = true;
        return nullptr;
    }
    return text;
}

bool CDescriptionFile::WriteBack() {
    // A read-only file is never changed; the attribute is checked here since
    // some systems let a privileged user replace such a file.
    const CFileName file = File();
    DWORD now = file.Attributes();
    bool existed = m_attributes != INVALID_FILE_ATTRIBUTES;
    if ((existed && (m_attributes & FILE_ATTRIBUTE_READONLY)) ||
        (now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_READONLY)))
        return false;

    // The new file is made with the attributes it is to have, so that it has
    // them from the moment it takes the old one's place.
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const DWORD attributes = (existed ? m_attributes & kept : FILE_ATTRIBUTE_HIDDEN) | FILE_ATTRIBUTE_ARCHIVE;
    CFileReplacement replacement;
    if (!replacement.Begin(file, attributes)) return false;
    // The mark stays where it was; every line read, as changed; then the new
    // lines in the order they came.
    if (m_encoding.mark) replacement.Put(kUtf8Mark);
    const std::string_view data = Data();
    CDescriptionReader reader(data.data(), data.size());
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
    if (file.Attributes() != (all | FILE_ATTRIBUTE_ARCHIVE)) file.SetAttributes(all | FILE_ATTRIBUTE_ARCHIVE);
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

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
    : attributes_(INVALID_FILE_ATTRIBUTES), conversionFlag_{'1', 0, 0, 0}, changed_(false), unwritable_(false),
      changes_(nullptr), changeCount_(0), changeCapacity_(0), results_(nullptr) {
    filePath_[0] = '\0';
}

CDescriptionFile::~CDescriptionFile() {
    Close();
}

void CDescriptionFile::Load(const char* path) {
    Close();
    filePath_[0] = '\0';
    attributes_ = INVALID_FILE_ATTRIBUTES;
    unwritable_ = false;

    PathParts parts;
    if (!SplitPath(path, &parts, IsAnsiLeadByte)) return;

    // Settings are read anew at every load.
    DescriptionSettings settings;
    bool fits = ReadDescriptionSettings(parts.FolderPath(), &settings);
    memcpy(conversionFlag_, settings.conversionFlag, sizeof conversionFlag_);
    if (!fits) return;  // such a file can be neither read nor written
    memcpy(filePath_, settings.filePath, sizeof filePath_);

    attributes_ = GetFileAttributesA(filePath_);
    switch (ReadFileImage(filePath_, &bytes_)) {
    case kFileRead:
    case kFileMissing:
        break;
    case kFileFailed:
    case kFileTooLarge:
        // Rewriting a file whose entries were never read would drop them all.
        unwritable_ = true;
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
    if (!filePath_[0] || unwritable_ || !text || !CanWriteName(key)) return;
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
        unwritable_ = true;  // a change that cannot be made: none is written
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
            return;
        }
        change->entry = exists ? found.entry : kNewEntry;
    }
    if (Converts()) AnsiToOem(description, length);
    delete[] change->ownText;
    change->ownText = own;
    change->name = std::string_view(own, name.size());
    change->description = std::string_view(description, length);
    changed_ = true;
}

void CDescriptionFile::DeleteEntry(const char* path) {
    std::string_view key = KeyOf(path);
    if (!filePath_[0] || unwritable_ || key.empty()) return;
    Found found;
    if (!Find(key, &found)) return;
    DescriptionChange* change = found.change;
    if (!change) {
        change = AddChange();
        if (!change) return;
        change->entry = found.entry;
    }
    change->removed = true;
    changed_ = true;
}

void CDescriptionFile::Close() {
    if (changed_ && filePath_[0] && !unwritable_) WriteBack();
    FreeChanges();
    FreeResults();
    bytes_.Free();
    changed_ = false;
    // Closed is empty: a change made now must not rewrite the file from nothing.
    filePath_[0] = '\0';
}

bool CDescriptionFile::Find(std::string_view key, Found* found) {
    if (key.empty()) return false;
    CDescriptionReader reader(bytes_.Data(), bytes_.Size());
    DescriptionLine line;
    for (size_t entry = 0; reader.ReadEntry(&line); ++entry) {
        if (!EqualNoCase(line.name, key)) continue;
        DescriptionChange* change = ChangeOf(entry);
        if (change && change->removed) continue;  // a later duplicate may follow
        *found = Found{entry, change, change ? change->description : line.description};
        return true;
    }
    for (size_t i = 0; i < changeCount_; ++i) {
        DescriptionChange& change = changes_[i];
        if (change.entry != kNewEntry || change.removed || !EqualNoCase(change.name, key)) continue;
        *found = Found{kNewEntry, &change, change.description};
        return true;
    }
    return false;
}

DescriptionChange* CDescriptionFile::ChangeOf(size_t entry) {
    for (size_t i = 0; i < changeCount_; ++i)
        if (changes_[i].entry == entry) return &changes_[i];
    return nullptr;
}

DescriptionChange* CDescriptionFile::AddChange() {
    if (changeCount_ == changeCapacity_) {
        size_t capacity = changeCapacity_ * 2 + 4;
        DescriptionChange* grown = new (std::nothrow) DescriptionChange[capacity];
        if (!grown) {
            unwritable_ = true;
            return nullptr;
        }
        for (size_t i = 0; i < changeCount_; ++i) grown[i] = changes_[i];
        delete[] changes_;
        changes_ = grown;
        changeCapacity_ = capacity;
    }
    changes_[changeCount_] = DescriptionChange{kNewEntry, nullptr, std::string_view(), std::string_view(), false};
    return &changes_[changeCount_++];
}

// A zero-terminated ANSI copy of a description, kept until Close. Each copy is
// one block whose first bytes chain it to the one handed out before.
const char* CDescriptionFile::HandOut(std::string_view fileText) {
    char* block = new (std::nothrow) char[sizeof(char*) + fileText.size() + 1];
    if (!block) {
        unwritable_ = true;  // this call ran out of memory: it changes nothing either
        return nullptr;
    }
    memcpy(block, &results_, sizeof(char*));
    results_ = block;
    char* text = block + sizeof(char*);
    if (!fileText.empty()) memcpy(text, fileText.data(), fileText.size());
    text[fileText.size()] = '\0';
    if (Converts()) OemToAnsi(text, fileText.size());
    return text;
}

void CDescriptionFile::WriteBack() {
    // A read-only file is never changed; the attribute is checked here since
    // some systems let a privileged user replace such a file.
    DWORD now = GetFileAttributesA(filePath_);
    bool existed = attributes_ != INVALID_FILE_ATTRIBUTES;
    if ((existed && (attributes_ & FILE_ATTRIBUTE_READONLY)) ||
        (now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_READONLY)))
        return;

    CFileReplacement replacement;
    if (!replacement.Begin(filePath_)) return;
    // Every line read, as changed; then the new lines in the order they came.
    CDescriptionReader reader(bytes_.Data(), bytes_.Size());
    DescriptionLine line;
    for (size_t entry = 0; reader.ReadEntry(&line); ++entry) {
        const DescriptionChange* change = ChangeOf(entry);
        if (change && change->removed) continue;
        Put(&replacement, WrittenLine(line.name, change ? change->description : line.description, line.tail));
    }
    for (size_t i = 0; i < changeCount_; ++i) {
        const DescriptionChange& change = changes_[i];
        if (change.entry == kNewEntry && !change.removed)
            Put(&replacement, WrittenLine(change.name, change.description, std::string_view()));
    }
    if (existed) SetFileAttributesA(filePath_, FILE_ATTRIBUTE_NORMAL);
    if (replacement.Commit()) {
        DWORD attributes = existed ? attributes_ & ~DWORD(FILE_ATTRIBUTE_NORMAL) : FILE_ATTRIBUTE_HIDDEN;
        SetFileAttributesA(filePath_, attributes | FILE_ATTRIBUTE_ARCHIVE);
    } else if (existed) {
        SetFileAttributesA(filePath_, attributes_);  // unchanged file, unchanged attributes
    }
}

void CDescriptionFile::FreeChanges() {
    for (size_t i = 0; i < changeCount_; ++i) delete[] changes_[i].ownText;
    delete[] changes_;
    changes_ = nullptr;
    changeCount_ = 0;
    changeCapacity_ = 0;
}

void CDescriptionFile::FreeResults() {
    while (results_) {
        char* next;
        memcpy(&next, results_, sizeof(char*));
        delete[] results_;
        results_ = next;
    }
}

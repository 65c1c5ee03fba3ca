#include "DescriptionFile.h"

#include "AnsiText.h"
#include "DescriptionReader.h"
#include "DescriptionWriter.h"
#include "FileImage.h"
#include "PathParts.h"

#include <cstring>
#include <new>

namespace {

const char kSettingsKey[] = "SOFTWARE\\Varnoke\\Tolvane";
const char kDefaultName[] = "DESCRIPT.ION";

// Reads a text value into buffer (size bytes, preset by the caller). The value
// must fit the buffer with its terminating zero; otherwise the preset stays.
void ReadSetting(HKEY key, const char* value, char* buffer, DWORD size) {
    char read[260] = {};
    DWORD readSize = size;
    if (RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(read), &readSize) ==
            ERROR_SUCCESS &&
        read[size - 1] == '\0')
        memcpy(buffer, read, size);
}

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

}  // namespace

CDescriptionFile::CDescriptionFile()
    : attributes_(INVALID_FILE_ATTRIBUTES), conversionFlag_{'1', 0, 0, 0}, changed_(false), entriesMade_(true),
      unwritable_(false), entries_(nullptr), entryCount_(0), entryCapacity_(0), results_(nullptr) {
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
    entriesMade_ = true;  // an empty list, until bytes are read

    PathParts parts;
    if (!SplitPath(path, &parts, IsAnsiLeadByte)) return;

    char fileName[256] = {};
    strcpy(fileName, kDefaultName);
    memcpy(conversionFlag_, "1\0\0", 4);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        ReadSetting(key, "Ansi", conversionFlag_, sizeof conversionFlag_);
        ReadSetting(key, "DescriptionName", fileName, sizeof fileName);
        RegCloseKey(key);
    }
    if (fileName[0] == '\0') strcpy(fileName, kDefaultName);

    // Such a file can be neither read nor written.
    std::string_view folder = parts.FolderPath();
    size_t nameLength = strlen(fileName);
    if (folder.size() + nameLength > kMaxPathLength) return;
    memcpy(filePath_, folder.data(), folder.size());
    memcpy(filePath_ + folder.size(), fileName, nameLength + 1);

    attributes_ = GetFileAttributesA(filePath_);
    switch (ReadFileImage(filePath_, &bytes_)) {
    case kFileRead:
        entriesMade_ = false;
        break;
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
    std::string_view key = KeyOf(path);
    if (key.empty()) return nullptr;
    if (entriesMade_) {
        DescriptionEntry* entry = Find(key);
        return entry ? HandOut(entry->description) : nullptr;
    }
    // Only looking: read the lines in place, up to the first match.
    CDescriptionReader reader(bytes_.Data(), bytes_.Size());
    DescriptionLine line;
    while (reader.ReadEntry(&line))
        if (EqualNoCase(line.name, key)) return HandOut(line.description);
    return nullptr;
}

void CDescriptionFile::SetEntry(const char* path, const char* text) {
    std::string_view key = KeyOf(path);
    if (!filePath_[0] || unwritable_ || !text || !CanWriteName(key)) return;
    if (!MakeEntries()) return;
    DescriptionEntry* entry = Find(key);

    // One block holds the name and the new description.
    std::string_view name = entry ? entry->name : key;
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

    if (entry) {
        bool same = Converts() ? OemEqualsAnsi(entry->description, newText) : entry->description == newText;
        if (same) {
            delete[] own;
            return;
        }
    } else {
        if (!AddEntry()) {
            delete[] own;
            return;
        }
        entry = &entries_[entryCount_ - 1];
        entry->tail = std::string_view();
    }
    if (Converts()) AnsiToOem(description, length);
    delete[] entry->ownText;
    entry->ownText = own;
    entry->name = std::string_view(own, name.size());
    entry->description = std::string_view(description, length);
    changed_ = true;
}

void CDescriptionFile::DeleteEntry(const char* path) {
    std::string_view key = KeyOf(path);
    if (!filePath_[0] || unwritable_ || key.empty()) return;
    if (!MakeEntries()) return;
    DescriptionEntry* entry = Find(key);
    if (!entry) return;
    entry->removed = true;
    changed_ = true;
}

void CDescriptionFile::Close() {
    if (changed_ && filePath_[0] && !unwritable_) WriteBack();
    FreeEntries();
    FreeResults();
    bytes_.Free();
    entriesMade_ = true;
    changed_ = false;
    // Closed is empty: a change made now must not rewrite the file from nothing.
    filePath_[0] = '\0';
}

bool CDescriptionFile::MakeEntries() {
    if (entriesMade_) return true;
    // Every line but the last ends in a line feed: room for them all and one more.
    size_t lines = 1;
    for (const char* at = bytes_.Data(), *end = at + bytes_.Size(); at < end; ++lines) {
        const void* feed = memchr(at, '\n', static_cast<size_t>(end - at));
        if (!feed) break;
        at = static_cast<const char*>(feed) + 1;
    }
    entries_ = new (std::nothrow) DescriptionEntry[lines + 1];
    if (!entries_) {
        unwritable_ = true;
        return false;
    }
    entryCapacity_ = lines + 1;
    entryCount_ = 0;
    CDescriptionReader reader(bytes_.Data(), bytes_.Size());
    DescriptionLine line;
    while (reader.ReadEntry(&line))
        entries_[entryCount_++] = DescriptionEntry{line.name, line.description, line.tail, nullptr, false};
    entriesMade_ = true;
    return true;
}

bool CDescriptionFile::AddEntry() {
    if (entryCount_ == entryCapacity_) {
        size_t capacity = entryCapacity_ * 2 + 4;
        DescriptionEntry* grown = new (std::nothrow) DescriptionEntry[capacity];
        if (!grown) {
            unwritable_ = true;
            return false;
        }
        for (size_t i = 0; i < entryCount_; ++i) grown[i] = entries_[i];
        delete[] entries_;
        entries_ = grown;
        entryCapacity_ = capacity;
    }
    entries_[entryCount_++] = DescriptionEntry{};
    return true;
}

DescriptionEntry* CDescriptionFile::Find(std::string_view key) {
    if (key.empty()) return nullptr;
    for (size_t i = 0; i < entryCount_; ++i)
        if (!entries_[i].removed && EqualNoCase(entries_[i].name, key)) return &entries_[i];
    return nullptr;
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
    for (size_t i = 0; i < entryCount_; ++i) {
        const DescriptionEntry& entry = entries_[i];
        if (entry.removed) continue;
        DescriptionLinePieces line = WrittenLine(entry.name, entry.description, entry.tail);
        for (int piece = 0; piece < line.count; ++piece) replacement.Put(line.pieces[piece]);
    }
    if (existed) SetFileAttributesA(filePath_, FILE_ATTRIBUTE_NORMAL);
    if (replacement.Commit()) {
        DWORD attributes = existed ? attributes_ & ~DWORD(FILE_ATTRIBUTE_NORMAL) : FILE_ATTRIBUTE_HIDDEN;
        SetFileAttributesA(filePath_, attributes | FILE_ATTRIBUTE_ARCHIVE);
    } else if (existed) {
        SetFileAttributesA(filePath_, attributes_);  // unchanged file, unchanged attributes
    }
}

void CDescriptionFile::FreeEntries() {
    for (size_t i = 0; i < entryCount_; ++i) delete[] entries_[i].ownText;
    delete[] entries_;
    entries_ = nullptr;
    entryCount_ = 0;
    entryCapacity_ = 0;
}

void CDescriptionFile::FreeResults() {
    while (results_) {
        char* next;
        memcpy(&next, results_, sizeof(char*));
        delete[] results_;
        results_ = next;
    }
}

#include "DescriptionFile.h"

#include "AnsiText.h"
#include "DescriptionReader.h"
#include "DescriptionWriter.h"
#include "FileImage.h"
#include "PathParts.h"

#include <cstring>

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

}  // namespace

CDescriptionFile::CDescriptionFile()
    : first_(nullptr), changed_(0), attributes_(INVALID_FILE_ATTRIBUTES), conversionFlag_{'1', 0, 0, 0},
      entriesMade_(true), readFailed_(false) {}

CDescriptionFile::~CDescriptionFile() {
    Close();
}

void CDescriptionFile::Load(const char* path) {
    Close();
    filePath_.clear();
    readFailed_ = false;
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

    std::string filePath = parts.FolderPath() + fileName;
    if (filePath.size() > kMaxPathLength) return;  // such a file can be neither read nor written
    filePath_ = filePath;

    attributes_ = GetFileAttributesA(filePath_.c_str());
    switch (ReadFileImage(filePath_.c_str(), &bytes_)) {
    case kFileRead:
        entriesMade_ = false;
        break;
    case kFileMissing:
        break;
    case kFileFailed:
        // Rewriting a file whose entries were never read would drop them all.
        readFailed_ = true;
        break;
    }
}

const char* CDescriptionFile::Lookup(const char* path) {
    std::string_view key = KeyOf(path);
    if (key.empty()) return path;
    if (entriesMade_) {
        DescriptionEntry* entry = Find(path);
        return entry ? entry->description.c_str() : path;
    }
    // Only looking: read the lines in place, up to the first match.
    CDescriptionReader reader(bytes_.data(), bytes_.size());
    DescriptionLine line;
    while (reader.ReadEntry(&line)) {
        if (!EqualNoCase(line.name, key)) continue;
        results_.emplace_back(line.description);
        if (Converts()) OemToAnsi(&results_.back());
        return results_.back().c_str();
    }
    return path;
}

void CDescriptionFile::SetEntry(const char* path, const char* text) {
    std::string_view key = KeyOf(path);
    if (filePath_.empty() || !text || !CanWriteName(key)) return;
    MakeEntries();
    DescriptionEntry* entry = Find(path);
    if (entry) {
        entry->description = CleanDescription(text);
        entry->fileText.clear();
        entry->keepFileText = false;
    } else {
        entry = new DescriptionEntry{std::string(key), CleanDescription(text), std::string(), nullptr,
                                     std::string(), false};
        DescriptionEntry** link = &first_;
        while (*link) link = &(*link)->next;
        *link = entry;
    }
    changed_ = 1;
}

void CDescriptionFile::DeleteEntry(const char* path) {
    std::string_view key = KeyOf(path);
    if (filePath_.empty() || key.empty()) return;
    MakeEntries();
    for (DescriptionEntry** link = &first_; *link; link = &(*link)->next) {
        if (!EqualNoCase((*link)->name, key)) continue;
        DescriptionEntry* gone = *link;
        *link = gone->next;
        delete gone;
        changed_ = 1;
        return;
    }
}

void CDescriptionFile::Close() {
    if (changed_ && !filePath_.empty() && !readFailed_) WriteBack();
    FreeEntries();
    bytes_.clear();
    results_.clear();
    entriesMade_ = true;
    changed_ = 0;
}

void CDescriptionFile::MakeEntries() {
    if (entriesMade_) return;
    entriesMade_ = true;
    DescriptionEntry** link = &first_;
    CDescriptionReader reader(bytes_.data(), bytes_.size());
    DescriptionLine line;
    while (reader.ReadEntry(&line)) {
        DescriptionEntry* entry = new DescriptionEntry{std::string(line.name), std::string(line.description),
                                                       std::string(line.tail), nullptr, std::string(), false};
        if (Converts()) {
            entry->fileText = entry->description;
            entry->keepFileText = true;
            OemToAnsi(&entry->description);
        }
        *link = entry;
        link = &entry->next;
    }
}

DescriptionEntry* CDescriptionFile::Find(const char* path) {
    std::string_view key = KeyOf(path);
    if (key.empty()) return nullptr;
    for (DescriptionEntry* entry = first_; entry; entry = entry->next)
        if (EqualNoCase(entry->name, key)) return entry;
    return nullptr;
}

std::string CDescriptionFile::Image() const {
    std::string image;
    std::string description;
    for (const DescriptionEntry* entry = first_; entry; entry = entry->next) {
        if (entry->keepFileText) {
            AppendDescriptionLine(&image, entry->name, entry->fileText, entry->tail);
            continue;
        }
        description = entry->description;
        if (Converts()) AnsiToOem(&description);
        AppendDescriptionLine(&image, entry->name, description, entry->tail);
    }
    return image;
}

void CDescriptionFile::WriteBack() {
    // A read-only file is never changed; the attribute is checked here since
    // some systems let a privileged user open such a file for writing.
    DWORD now = GetFileAttributesA(filePath_.c_str());
    bool existed = attributes_ != INVALID_FILE_ATTRIBUTES;
    if ((existed && (attributes_ & FILE_ATTRIBUTE_READONLY)) ||
        (now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_READONLY)))
        return;

    std::string image = Image();
    if (existed) SetFileAttributesA(filePath_.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (WriteFileImage(filePath_.c_str(), image)) {
        DWORD attributes = existed ? attributes_ & ~DWORD(FILE_ATTRIBUTE_NORMAL) : FILE_ATTRIBUTE_HIDDEN;
        SetFileAttributesA(filePath_.c_str(), attributes | FILE_ATTRIBUTE_ARCHIVE);
    } else if (existed) {
        SetFileAttributesA(filePath_.c_str(), attributes_);  // unchanged file, unchanged attributes
    }
}

void CDescriptionFile::FreeEntries() {
    while (first_) {
        DescriptionEntry* next = first_->next;
        delete first_;
        first_ = next;
    }
}

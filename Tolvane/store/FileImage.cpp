// Reading a description file whole, and putting a new one in its place
// (FileImage.h).
#include "FileImage.h"

#include "AnsiText.h"
#include "DescriptionReader.h"
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

namespace {

// What a replace meets while a reader has the old file open (on Windows NT a
// rename over an open file is refused with ERROR_ACCESS_DENIED): the writer
// tries again.
bool Busy(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Windows 95, 98 and Me have no MoveFileExA and rename over no file. The old
// file is renamed to its companion .$OL, the new one takes its name, then the
// old one goes. A writer killed between the two renames leaves the old file
// under the companion's name (readers find no descriptions meanwhile); the
// next writer's turn puts it back first (RecoverInterruptedReplace), so nothing
// is lost.
bool MoveAsideAndIn(const CFileName& source, const CFileName& target) {
    CFilePath old;
    if (!CompanionPath(target, kOldExtension, &old)) return false;
    const bool existed = target.Exists();
    if (existed && !target.MoveTo(old.Name())) return false;  // a reader has it open
    if (!source.MoveTo(target)) {
        DWORD error = GetLastError();
        if (existed) old.Name().MoveTo(target);
        SetLastError(error);
        return false;
    }
    if (existed) old.Name().Delete();
    return true;
}

// Puts source in the place of target: a rename over it, written through where
// the system offers that (Windows NT and later), so that the change is on the
// disk when Close says it is stored.
// As designed: not ReplaceFileA (Windows 2000 and later), though it would keep
// what the system knows of the old file beyond its bytes and attributes (its own
// security descriptor, other streams, creation time). It is not one step: by
// its own error ERROR_UNABLE_TO_MOVE_REPLACEMENT the old file can be gone
// before the new one has its name, and Wine's moves the old file aside first,
// so that readers find no file meanwhile and a writer killed there leaves none.
// The new file has the folder's inherited security and no other streams.
bool PutInPlace(const CFileName& source, const CFileName& target) {
    if (source.MoveTo(target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DWORD error = GetLastError();
    // Some redirectors refuse the write-through flag.
    if (error == ERROR_INVALID_PARAMETER && source.MoveTo(target, MOVEFILE_REPLACE_EXISTING)) return true;
    if (error != ERROR_CALL_NOT_IMPLEMENTED) {
        SetLastError(error);
        return false;
    }
    return MoveAsideAndIn(source, target);
}

// Puts the written bytes on the disk, so that a power loss after the rename
// finds the new content and not an empty or zero-filled file. Devices that
// cannot flush have nothing to flush.
bool FlushToDisk(HANDLE file) {
    if (FlushFileBuffers(file)) return true;
    DWORD error = GetLastError();
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

bool Split(const char* path, PathParts* parts) { return SplitPath(path, parts, IsAnsiLeadByte); }
bool Split(const wchar_t* path, WidePathParts* parts) { return SplitPath(path, parts); }

// An extension of path against one of ours (ASCII), folding only A to Z.
template <class Char>
bool SameExtension(std::basic_string_view<Char> extension, const char* ours) {
    size_t length = strlen(ours);
    if (extension.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        Char a = extension[i], b = static_cast<unsigned char>(ours[i]);
        if (a >= 'a' && a <= 'z') a = static_cast<Char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z') b = static_cast<Char>(b - 'a' + 'A');
        if (a != b) return false;
    }
    return true;
}

template <class Char>
bool Companion(const Char* path, const char* extension, Char* buffer) {
    buffer[0] = 0;
    BasicPathParts<Char> parts;
    if (!path || !Split(path, &parts)) return false;
    for (const char* own : {kTurnExtension, kNewExtension, kOldExtension})
        if (SameExtension(parts.extension, own)) return false;
    const size_t stem = static_cast<size_t>(parts.extension.data() - path);
    const size_t length = strlen(extension);
    if (stem + length > kMaxPathLength) return false;
    memcpy(buffer, path, stem * sizeof(Char));
    for (size_t i = 0; i <= length; ++i) buffer[stem + i] = static_cast<Char>(extension[i]);
    return true;
}

}  // namespace

bool CompanionPath(const char* path, const char* extension, char* buffer) {
    return Companion(path, extension, buffer);
}

bool CompanionPath(const CFileName& path, const char* extension, CFilePath* companion) {
    const bool made = path.IsWide() ? Companion(path.Wide(), extension, companion->WideBuffer())
                                    : Companion(path.Ansi(), extension, companion->AnsiBuffer());
    if (!made) companion->Clear();
    return made;
}

void RecoverInterruptedReplace(const CFileName& path) {
    CFilePath companion;
    if (CompanionPath(path, kOldExtension, &companion) && companion.Name().Exists()) {
        if (!path.Exists() && GetLastError() == ERROR_FILE_NOT_FOUND)
            companion.Name().MoveTo(path);
        else
            companion.Name().Delete();
    }
    if (CompanionPath(path, kNewExtension, &companion) && companion.Name().Exists()) companion.Name().Delete();
}

namespace {

// Opens a description file for reading and takes its size: kFileRead with the
// open handle, or what keeps it from being read (no handle is left open then).
FileReadResult OpenForReading(const CFileName& path, HANDLE* file, DWORD* size) {
    *file = OpenShared(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (*file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? kFileMissing : kFileFailed;
    }
    DWORD high = 0;
    *size = GetFileSize(*file, &high);
    if (*size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) *size = 0;
    if (high != 0 || *size > kLargestDescriptionFile) {
        CloseHandle(*file);
        *file = INVALID_HANDLE_VALUE;
        return kFileTooLarge;
    }
    return kFileRead;
}

}  // namespace

FileReadResult ReadFileImage(const CFileName& path, CByteBuffer* bytes) {
    bytes->SetSize(0);
    HANDLE file;
    DWORD size;
    FileReadResult opened = OpenForReading(path, &file, &size);
    if (opened != kFileRead) return opened;
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

namespace {

// The end of the last line feed in [from, to), or null when there is none.
const char* AfterLastFeed(const char* from, const char* to) {
    while (to != from)
        if (*--to == '\n') return to + 1;
    return nullptr;
}

// Looks for key in whole lines: the first entry named so, its description
// copied into text. False when memory for the copy ran out.
bool LookFor(std::string_view lines, std::string_view key, bool* found, CByteBuffer* text) {
    DescriptionLine line;
    if (*found || key.empty() || !FindEntry(lines.data(), lines.size(), key, &line)) return true;
    *found = true;
    size_t size = line.description.size();
    if (size && !text->Reserve(size)) return false;
    if (size) memcpy(text->Data(), line.description.data(), size);
    text->SetSize(size);
    return true;
}

}  // namespace

FileReadResult FindEntryInFile(const CFileName& path, std::string_view codePageKey, std::string_view utf8Key,
                               CByteBuffer* window, CByteBuffer* description, FileEncoding* encoding, bool* found) {
    *found = false;
    *encoding = FileEncoding{TextEncoding::CodePage, false, 0};
    window->SetSize(0);
    description->SetSize(0);
    if (codePageKey.empty() && utf8Key.empty()) return kFileRead;  // names nothing: no need to read
    HANDLE file;
    DWORD size;
    FileReadResult opened = OpenForReading(path, &file, &size);
    if (opened != kFileRead) return opened;
    // A small file is read at once, with one byte more so that its end is seen.
    FileReadResult result = window->Reserve(size < kFindWindowBytes ? size + 1 : kFindWindowBytes) ? kFileRead
                                                                                                  : kFileFailed;
    // A name of ASCII letters is the same in both forms: it is looked for once.
    const bool oneKey = codePageKey == utf8Key;
    CByteBuffer utf8Text;  // the description found under utf8Key, when that differs
    bool foundCodePage = false, foundUtf8 = false;
    bool mark = false;
    bool mayBeUtf8 = true;  // no byte met yet that is not UTF-8
    bool multiByte = false;
    size_t skip = 0;        // the mark, in front of the first line
    DWORD total = 0;
    size_t kept = 0;        // the beginning of a line whose end is not read yet
    while (result == kFileRead) {
        if (kept == window->Capacity()) {
            // One line fills the window: make room for more of it.
            size_t grown = kept < kLargestDescriptionFile / 2 ? kept * 2 : kLargestDescriptionFile + 1;
            if (!window->Reserve(grown)) {
                result = kFileFailed;
                break;
            }
        }
        DWORD got = 0;
        if (!ReadFile(file, window->Data() + kept, static_cast<DWORD>(window->Capacity() - kept), &got, nullptr)) {
            result = kFileFailed;
            break;
        }
        if (total == 0 && got >= kUtf8Mark.size() && memcmp(window->Data(), kUtf8Mark.data(), kUtf8Mark.size()) == 0) {
            mark = true;
            skip = kUtf8Mark.size();
        }
        total += got;
        if (total > kLargestDescriptionFile) {  // it grew since its size was taken
            result = kFileTooLarge;
            break;
        }
        size_t have = kept + got;
        window->SetSize(have);
        // The whole lines read so far; at the end of the file, all that is left.
        const char* data = window->Data();
        const char* afterFeed = got ? AfterLastFeed(data + kept, data + have) : data + have;
        size_t whole = afterFeed ? static_cast<size_t>(afterFeed - data) : 0;
        bool ended = got == 0;
        if (whole > skip) {
            std::string_view lines(data + skip, whole - skip);
            // The data ends at its first Ctrl-Z.
            const char* ctrlZ = FindCtrlZ(lines.data(), lines.data() + lines.size());
            if (ctrlZ != lines.data() + lines.size()) {
                lines = std::string_view(lines.data(), static_cast<size_t>(ctrlZ - lines.data()));
                ended = true;
            }
            if (!mark && mayBeUtf8) mayBeUtf8 = CheckUtf8(lines.data(), lines.size(), &multiByte);
            // Only the keys of the encodings the file may still have.
            bool ok;
            if (mark) {
                ok = LookFor(lines, utf8Key, &foundUtf8, description);
            } else {
                ok = LookFor(lines, codePageKey, &foundCodePage, description);
                if (oneKey) foundUtf8 = foundCodePage;
                else if (ok && mayBeUtf8) ok = LookFor(lines, utf8Key, &foundUtf8, &utf8Text);
            }
            if (!ok) {
                result = kFileFailed;
                break;
            }
            skip = 0;
            kept = have - whole;
            memmove(window->Data(), data + whole, kept);
            window->SetSize(kept);  // what a larger window keeps
        } else {
            kept = have;
        }
        // Sure: the file is UTF-8 by its mark, or it is not UTF-8, and the name
        // it holds in that encoding is found.
        if (mark ? foundUtf8 : !mayBeUtf8 && foundCodePage) break;
        if (ended) break;
    }
    CloseHandle(file);
    if (result != kFileRead) {
        window->Free();
        description->Free();
        return result;
    }
    if (mark) {
        *encoding = FileEncoding{TextEncoding::Utf8, true, kUtf8Mark.size()};
    } else if (mayBeUtf8 && multiByte) {
        encoding->encoding = TextEncoding::Utf8;
    }
    const bool utf8 = encoding->encoding == TextEncoding::Utf8;
    *found = utf8 ? foundUtf8 : foundCodePage;
    if (utf8 && !mark && !oneKey && foundUtf8) {
        // The description found under the UTF-8 name is the one handed out.
        if (utf8Text.Size() && !description->Reserve(utf8Text.Size())) {
            *found = false;
            description->Free();
            return kFileFailed;
        }
        if (utf8Text.Size()) memcpy(description->Data(), utf8Text.Data(), utf8Text.Size());
        description->SetSize(utf8Text.Size());
    }
    if (!*found) description->SetSize(0);
    return kFileRead;
}

CFileReplacement::CFileReplacement() : m_file(INVALID_HANDLE_VALUE), m_failed(false), m_buffered(0) {}

CFileReplacement::~CFileReplacement() { Abandon(); }

bool CFileReplacement::Begin(const CFileName& path, DWORD attributes) {
    Abandon();
    m_failed = false;
    m_buffered = 0;
    if (!m_path.Set(path) || !CompanionPath(path, kNewExtension, &m_temporaryPath)) return false;
    const CFileName temporary = m_temporaryPath.Name();
    m_file = temporary.Create(GENERIC_WRITE, 0, CREATE_ALWAYS, attributes);
    if (m_file == INVALID_HANDLE_VALUE) {
        // One that a killed writer left with other attributes (hidden where
        // this one is not) cannot be overwritten: it goes first.
        temporary.SetAttributes(FILE_ATTRIBUTE_NORMAL);
        temporary.Delete();
        m_file = temporary.Create(GENERIC_WRITE, 0, CREATE_NEW, attributes);
    }
    if (m_file != INVALID_HANDLE_VALUE) return true;
    m_temporaryPath.Clear();
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
    if (!Flush() || !FlushToDisk(m_file)) {
        Abandon();
        return false;
    }
    bool closed = CloseHandle(m_file) != FALSE;
    m_file = INVALID_HANDLE_VALUE;
    if (!closed) {
        Abandon();
        return false;
    }
    // Refused while a reader has the file open.
    DWORD start = GetTickCount();
    for (;;) {
        if (PutInPlace(m_temporaryPath.Name(), m_path.Name())) {
            m_temporaryPath.Clear();
            return true;
        }
        if (!Busy(GetLastError()) || GetTickCount() - start >= kReplaceWaitMs) break;
        Sleep(kShareRetryMs);
    }
    Abandon();
    return false;
}

void CFileReplacement::Abandon() {
    if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    if (!m_temporaryPath.Empty()) m_temporaryPath.Name().Delete();
    m_temporaryPath.Clear();
}

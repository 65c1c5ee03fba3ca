// Reading a description file as one image, and putting a new one in its place.
// A reader lets only other readers in (FILE_SHARE_READ). A writer, inside its
// turn (WriterTurn.h), writes the new content to a file beside the old one,
// flushes it to the disk and renames it over the old one, which the system
// refuses while anyone has the old file open: so no reader ever sees a file
// that is emptied or half written, a write that fails (no room, no memory)
// leaves the old file as it was, and a writer killed at any moment leaves the
// old file or the new one. Both wait briefly while another process holds the
// file.
#pragma once

#include "ByteBuffer.h"
#include "FileName.h"
#include "TextEncoding.h"

#include <string_view>

#include <windows.h>

// As designed: no description file is read above this size. Sixteen MB hold
// some 300,000 lines, far more than any folder has files, while reading that
// much into Explorer (or any program with an open dialog) stays cheap; a
// bigger file is broken or hostile and is left alone.
const DWORD kLargestDescriptionFile = 16 * 1024 * 1024;

enum FileReadResult {
    kFileRead,      // bytes holds the whole file
    kFileMissing,   // there is no such file (or folder): an empty list
    kFileFailed,    // it could not be read whole (or memory ran out): it must not be rewritten
    kFileTooLarge,  // above kLargestDescriptionFile: not read, never rewritten
};

// Reads the whole file into bytes.
// Opens a description file as its readers and writers share it: a reader lets only
// readers in (FILE_SHARE_READ), a writer nobody; while another process holds the
// file in a way that excludes this open, it is tried again for about a second.
// INVALID_HANDLE_VALUE with the last error set when that fails.
HANDLE OpenShared(const CFileName& path, DWORD access, DWORD share, DWORD disposition);

FileReadResult ReadFileImage(const CFileName& path, CByteBuffer* bytes);

// Looks for the first entry named key in the file and stops as soon as what
// it found is sure: the file is read piece by piece into window
// (kFindWindowBytes, more only for a longer line), and of its lines only those
// that may be named key are taken apart whole (FindEntry). The key depends on
// the file's encoding, which is told as DetectEncoding tells it while the file
// is read: codePageKey is the name as a file of the code pages holds it,
// utf8Key as a UTF-8 file does (an empty key names nothing). A file with the
// UTF-8 mark is UTF-8 from its first bytes on; one without it may turn out not
// to be UTF-8 at its last line, so there the file is read on until a byte that
// is not UTF-8 or the end of its data. kFileRead, with *encoding, *found, and
// the description as the file holds it in description; otherwise as
// ReadFileImage.
const DWORD kFindWindowBytes = 64 * 1024;
FileReadResult FindEntryInFile(const CFileName& path, std::string_view codePageKey, std::string_view utf8Key,
                               CByteBuffer* window, CByteBuffer* description, FileEncoding* encoding, bool* found);

// How long a writer tries to put its new file in place while readers have the
// old one open; then it gives up and the old file stays.
const DWORD kReplaceWaitMs = 2000;

// The files that a change of a description file uses beside it are named after
// it, with its extension replaced, so that they fit wherever the file itself
// fits (8.3 included) and two description files of one folder never share them:
//   .$LK  the writers' turn (WriterTurn.h), there only while a writer holds it
//   .$NW  the new content until it replaces the file
//   .$OL  on Windows 95, 98 and Me only, the old file while it is replaced
const char kTurnExtension[] = ".$LK";
const char kNewExtension[] = ".$NW";
const char kOldExtension[] = ".$OL";

// The companion of path with extension into buffer (MAX_PATH bytes), or into a
// path of path's own form. False when it would be too long, or when path itself
// carries one of the three extensions above (such a file is never written: its
// companions would be itself).
bool CompanionPath(const char* path, const char* extension, char* buffer);
bool CompanionPath(const CFileName& path, const char* extension, CFilePath* companion);

// Undoes what a writer killed in the middle of a replace left in path's folder,
// so that a writer inside its turn starts from one file: an old file moved
// aside on Windows 95, 98 or Me is put back when the new one never took its
// place (and removed when it did), and a new content that never took its place
// is removed. Only for a writer that holds the turn.
void RecoverInterruptedReplace(const CFileName& path);

// A new content for a file, written piece by piece into its companion .$NW and
// put in its place by Commit. Without a successful Commit the companion is
// removed and the file stays as it was. Only for a writer that holds the turn:
// the companion's name is the same for every writer of the file.
class CFileReplacement {
public:
    CFileReplacement();
    ~CFileReplacement();
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Creates the new file with the given attributes (those the file is to
    // have), over one a killed writer left; its name has path's form. False
    // when it cannot.
    bool Begin(const CFileName& path, DWORD attributes);
    // Appends bytes; a failure is remembered and makes Commit fail.
    void Put(std::string_view bytes);
    // Writes what is left, flushes it to the disk and puts it in the place of
    // path, waiting up to kReplaceWaitMs while others have that file open.
    // True when the new content is in place.
    bool Commit();

private:
    bool Flush();
    void Abandon();

    HANDLE m_file;
    bool m_failed;
    CFilePath m_path;
    CFilePath m_temporaryPath;
    DWORD m_buffered;
    char m_buffer[4096];
};

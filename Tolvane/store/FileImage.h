// Reading a description file as one image, and putting a new one in its place.
// A reader lets only other readers in (FILE_SHARE_READ). A writer writes a
// temporary file in the same folder and renames it over the old one, which
// the system refuses while anyone has the old file open: so no reader ever
// sees a file that is emptied or half written, and a write that fails (no
// room, no memory) leaves the old file as it was. Both wait briefly while
// another process holds the file.
#pragma once

#include "ByteBuffer.h"
#include "FileName.h"

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

// A new content for a file, written piece by piece into a temporary file
// beside it (hidden) and put in its place by Commit. Without a successful
// Commit the temporary file is removed and the file stays as it was.
class CFileReplacement {
public:
    CFileReplacement();
    ~CFileReplacement();
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Creates the temporary file in the folder of path, a name of the same
    // form. False when it cannot.
    bool Begin(const CFileName& path);
    // Appends bytes; a failure is remembered and makes Commit fail.
    void Put(std::string_view bytes);
    // Writes what is left and renames the temporary file to the path, waiting
    // up to about a second while others have that file open.
    bool Commit();

private:
    bool Flush();
    void Abandon();

    CFileName Path() const;
    CFileName TemporaryPath() const;

    HANDLE m_file;
    bool m_failed;
    bool m_wide;  // the names are wide ones
    char m_path[MAX_PATH];
    char m_temporaryPath[MAX_PATH];
    wchar_t m_widePath[MAX_PATH];
    wchar_t m_wideTemporaryPath[MAX_PATH];
    DWORD m_buffered;
    char m_buffer[4096];
};

// CDescriptionFile: the in-memory image of one folder's description file
// (DESCRIPT.ION or the name in the registry), used for one call on one thread.
// Callers pass ANSI paths and texts or wide ones; the file keeps its own
// encoding (TextEncoding.h, FileCodec.h).
//
//   CDescriptionFile file;
//   file.Load(path);                  // the folder of path selects the file
//   const char* text = file.Lookup(path);   // == path when there is none
//   file.SetEntry(path, "text");  or  file.DeleteEntry(path);
//   bool stored = file.Close();       // rewrites the file only when changed
//
// The first change takes the writers' turn on the file (WriterTurn.h) and reads
// the file again inside it, so that the change applies to what other writers
// have stored meanwhile; Close writes and gives the turn back. Lookups alone
// never take it.
//
// Lookups read the lines in place; a change is kept apart and applied while
// the lines are written again, so nothing but the file's bytes is held whole.
// Texts returned by Lookup stay valid until Close. Every allocation is checked: when memory runs out, lookups find
// nothing and the file is left as it was. A file above kLargestDescriptionFile
// is not read and never rewritten.
#pragma once

#include "ByteBuffer.h"
#include "DescriptionChange.h"
#include "FileCodec.h"
#include "FileName.h"
#include "TextEncoding.h"
#include "WriterTurn.h"

#include <windows.h>

#include <string_view>

// What a change came to.
enum StoreResult {
    kStoreDone,         // made, or there was nothing to change
    kStoreNameNotHeld,  // the file cannot hold the file's name (nor a short name of it)
    kStoreTextNotHeld,  // the file cannot hold a letter of the description
    kStoreFailed,       // a file that was not read whole, the writers' turn not had, or no memory
};

class CDescriptionFile {
public:
    CDescriptionFile();
    ~CDescriptionFile();
    CDescriptionFile(const CDescriptionFile&) = delete;
    CDescriptionFile& operator=(const CDescriptionFile&) = delete;

    // Reads the settings and the description file of path's folder, and tells
    // its encoding. A path longer than 259 characters, or a missing file,
    // leaves the list empty. An ANSI path reads the file by its ANSI name, a
    // wide one by its wide name.
    void Load(const char* path);
    void Load(const wchar_t* path);

    // The description of the file named by path's last component, or path
    // itself when it has none.
    const char* Lookup(const char* path);
    // The description of the file named by path's last component in the
    // caller's form, or null when it has none (or memory ran out). *lossy
    // tells that the ANSI code page lacks a letter of it.
    const char* FindDescription(const char* path, bool* lossy = nullptr);
    const wchar_t* FindDescription(const wchar_t* path);

    // Gives the file named by path's last component the description text.
    // Setting the text it already has changes nothing. A wide name that the
    // file cannot hold is described under the file's short name (NameFormOf).
    StoreResult SetEntry(const char* path, const char* text);
    StoreResult SetEntry(const wchar_t* path, const wchar_t* text);
    // Removes the entry of the file named by path's last component.
    StoreResult DeleteEntry(const char* path);
    StoreResult DeleteEntry(const wchar_t* path);
    // Under which name the file of path is described here (after Load).
    NameForm NameFormOf(const char* path);
    NameForm NameFormOf(const wchar_t* path);

    // Rewrites the file when something changed; frees all entries and gives
    // the turn back. True when every change asked for since Load is stored
    // (or none was asked for). False when one of them could not be made (a
    // name or a text that the file cannot hold, memory ran out), or when the
    // file could not be written, which leaves it as it was (the turn or the
    // file was held by others for too long, the file is read-only or could not
    // be read whole, the disk is full).
    bool Close();

    // True when the file was not read whole (it could not be read, it is too
    // large, or memory ran out): lookups miss what it holds and nothing is
    // written.
    bool Incomplete() const { return m_unwritable; }
    // The file is UTF-8 (after Load); otherwise in the code pages.
    bool IsUtf8() const { return m_encoding.encoding == TextEncoding::Utf8; }

    // The full path of the description file after an ANSI Load (empty when
    // unusable, or after a wide Load).
    const char* FilePath() const { return m_filePath; }

private:
    // Where the first live entry of a key is: an entry read (perhaps changed)
    // or a new one; its description as the file holds it.
    struct Found {
        size_t entry;
        DescriptionChange* change;
        std::string_view description;
    };
    // Closes what was loaded and forgets it, for a Load of an ANSI or a wide path.
    void Begin(bool wide);
    // Reads the file at the path Load made, and tells its encoding.
    void ReadImage();
    bool TakeTurn();
    bool Find(std::string_view key, Found* found);
    DescriptionChange* ChangeOf(size_t entry);
    DescriptionChange* AddChange();
    bool Converts() const { return m_conversionFlag[0] == '0'; }
    FileCodec Codec() const;
    bool HasFile() const { return m_wideFile ? m_wideFilePath[0] != L'\0' : m_filePath[0] != '\0'; }
    CFileName File() const;
    // The lines, behind the UTF-8 mark.
    std::string_view Data() const;
    template <class Char>
    const Char* FindText(std::string_view key, bool* lossy);
    template <class Char>
    StoreResult SetEntryOf(const Char* path, const Char* text);
    template <class Char>
    StoreResult Set(std::string_view key, const Char* text);
    template <class Char>
    StoreResult DeleteEntryOf(const Char* path);
    template <class Char>
    Char* HandOut(std::string_view fileText, size_t* length, bool* lossy);
    bool WriteBack();
    void FreeChanges();
    void FreeResults();

    char m_filePath[MAX_PATH];
    wchar_t m_wideFilePath[MAX_PATH];
    bool m_wideFile;               // loaded by a wide path: the file goes by m_wideFilePath
    DWORD m_attributes;
    char m_conversionFlag[4];
    bool m_changed;
    bool m_unwritable;             // not read whole (unreadable, too large, out of memory)
    bool m_lost;                   // a change was asked for that cannot be stored
    bool m_turnRefused;            // the turn could not be had: no change is made
    CWriterTurn m_turn;
    FileEncoding m_encoding;

    CByteBuffer m_bytes;           // the file as it was read
    DescriptionChange* m_changes;
    size_t m_changeCount;
    size_t m_changeCapacity;
    char* m_results;               // texts handed out by Lookup, chained
};

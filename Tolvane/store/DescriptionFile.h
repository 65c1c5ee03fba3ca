// CDescriptionFile: the in-memory image of one folder's description file
// (DESCRIPT.ION or the name in the registry), used for one call on one thread.
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
#include "WriterTurn.h"

#include <windows.h>

#include <string_view>

class CDescriptionFile {
public:
    CDescriptionFile();
    ~CDescriptionFile();
    CDescriptionFile(const CDescriptionFile&) = delete;
    CDescriptionFile& operator=(const CDescriptionFile&) = delete;

    // Reads the settings and the description file of path's folder. A path
    // longer than 259 characters, or a missing file, leaves the list empty.
    void Load(const char* path);
    // The description of the file named by path's last component, or path
    // itself when it has none.
    const char* Lookup(const char* path);
    // The same, but null when it has none (or memory ran out).
    const char* FindDescription(const char* path);
    // Gives the file named by path's last component the description text.
    // Setting the text it already has changes nothing.
    void SetEntry(const char* path, const char* text);
    // Removes the entry of the file named by path's last component.
    void DeleteEntry(const char* path);
    // Rewrites the file when something changed; frees all entries and gives
    // the turn back. True when every change asked for since Load is stored
    // (or none was asked for). False when one of them could not be made (a
    // name that cannot be written, memory ran out), or when the file could not
    // be written, which leaves it as it was (the turn or the file was held by
    // others for too long, the file is read-only or could not be read whole,
    // the disk is full).
    bool Close();

    // True when the file was not read whole (it could not be read, it is too
    // large, or memory ran out): lookups miss what it holds and nothing is
    // written.
    bool Incomplete() const { return m_unwritable; }

    // The full path of the description file after Load (empty when unusable).
    const char* FilePath() const { return m_filePath; }

private:
    // Where the first live entry of a key is: an entry read (perhaps changed)
    // or a new one; its description as the file holds it.
    struct Found {
        size_t entry;
        DescriptionChange* change;
        std::string_view description;
    };
    bool Find(std::string_view key, Found* found);
    DescriptionChange* ChangeOf(size_t entry);
    DescriptionChange* AddChange();
    bool Converts() const { return m_conversionFlag[0] == '0'; }
    bool TakeTurn();
    const char* HandOut(std::string_view fileText);
    bool WriteBack();
    void FreeChanges();
    void FreeResults();

    char m_filePath[MAX_PATH];
    DWORD m_attributes;
    char m_conversionFlag[4];
    bool m_changed;
    bool m_unwritable;             // not read whole (unreadable, too large, out of memory)
    bool m_lost;                   // a change was asked for that cannot be stored
    bool m_turnRefused;            // the turn could not be had: no change is made
    CWriterTurn m_turn;

    CByteBuffer m_bytes;           // the file as it was read
    DescriptionChange* m_changes;
    size_t m_changeCount;
    size_t m_changeCapacity;
    char* m_results;               // texts handed out by Lookup, chained
};

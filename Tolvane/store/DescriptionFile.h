// CDescriptionFile: the in-memory image of one folder's description file
// (DESCRIPT.ION or the name in the registry), used for one call on one thread.
//
//   CDescriptionFile file;
//   file.Load(path);                  // the folder of path selects the file
//   const char* text = file.Lookup(path);   // == path when there is none
//   file.SetEntry(path, "text");  or  file.DeleteEntry(path);
//   file.Close();                     // rewrites the file only when changed
//
// The entries are made from the loaded bytes when a change needs them; a
// lookup reads the lines in place. Texts returned by Lookup stay valid until
// Close.
#pragma once

#include "DescriptionEntry.h"

#include <windows.h>

#include <deque>
#include <string>

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
    // Gives the file named by path's last component the description text.
    void SetEntry(const char* path, const char* text);
    // Removes the entry of the file named by path's last component.
    void DeleteEntry(const char* path);
    // Rewrites the file when something changed; frees all entries.
    void Close();

    // The full path of the description file after Load (empty when unusable).
    const std::string& FilePath() const { return filePath_; }

private:
    void MakeEntries();
    DescriptionEntry* Find(const char* path);
    bool Converts() const { return conversionFlag_[0] == '0'; }
    std::string Image() const;
    void WriteBack();
    void FreeEntries();

    DescriptionEntry* first_;
    std::string filePath_;
    DWORD changed_;
    DWORD attributes_;
    char conversionFlag_[4];

    std::string bytes_;           // the file as it was read
    bool entriesMade_;            // the list holds every line of bytes_
    bool readFailed_;             // the file exists but could not be read
    std::deque<std::string> results_;  // texts handed out by Lookup
};

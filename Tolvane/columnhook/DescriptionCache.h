// CDescriptionCache: what the description column last read of one folder's
// description file, so that the cells of one screen cost about one read of the
// file. It belongs to one view and is used only on the thread that owns the
// view (window procedures always run there), so it needs no lock.
//
// Freshness: what it answers is never older than kFreshForMs by GetTickCount,
// taken before the read; with the coarsest tick of the systems we run on
// (55 ms) no answer is older than 250 ms. After that the settings are read
// again and the file is read again whole, whatever its time stamps say; only
// when its bytes are the same as before is the index over them kept.
//
// Its memory (the file's bytes and the index) comes from malloc; when any of it
// cannot be had, Lookup says so and the caller reads the file itself.
#pragma once

#include <windows.h>

#include <cstddef>

#include "store/DescriptionIndex.h"
#include "store/DescriptionSettings.h"
#include "store/FileImage.h"

class CDescriptionCache {
public:
    // How long what was read answers cells without being read again.
    static const DWORD kFreshForMs = 190;
    // Larger description files are not kept: the store reads none above this either.
    static const size_t kMaxFileBytes = kLargestDescriptionFile;

    CDescriptionCache();
    ~CDescriptionCache();
    CDescriptionCache(const CDescriptionCache&) = delete;
    CDescriptionCache& operator=(const CDescriptionCache&) = delete;

    // The description of the file at path (at most 259 characters) as a cell
    // shows it: at most 259 characters in description (260 bytes), empty when
    // the file has none or its description equals the path (ignoring case).
    // False when this cache cannot answer: the caller reads the file itself.
    bool Lookup(const char* path, char* description);

private:
    void Refresh(const char* folder, size_t folderLength);
    // Marks the folder as read at tick under the settings.
    void Hold(const char* folder, size_t folderLength, const DescriptionSettings& settings, DWORD tick);
    void Forget();

    bool m_held;                // m_folder was read at m_readTick
    bool m_declined;            // and is left to the caller (too big, or no memory)
    DWORD m_readTick;
    char m_folder[260];         // drive and folder of the cells answered
    size_t m_folderLength;
    DescriptionSettings m_settings;
    HKEY m_settingsKey;         // kept open while the cache lives, or null
    bool m_haveFile;            // false: the file is missing or could not be read: no descriptions
    char* m_bytes;              // the file as read (malloc)
    size_t m_size;
    CDescriptionIndex m_index;  // over m_bytes
};

// CDescriptionCache: what the description column last read of one folder's
// description file, so that a screen of cells costs less than one read of the
// file, and a screen painted while nothing changed costs no read at all. It
// belongs to one view and is used only on the thread that owns the view
// (window procedures always run there), so it needs no lock.
//
// Freshness: the file is read again when Windows reports a change in its
// folder, the settings when Windows reports a change of them (CChangeWatch).
// Windows is asked at the first cell in each tick of GetTickCount, so that a
// screen asks once and the first screen painted after the report shows the
// change. What Windows cannot watch (CChangeWatch says what) is read again at
// the first cell after kFreshForMs, counted from before the read, as is a file
// whose last reading failed. The file is always read whole, whatever its time
// stamps say (FAT keeps them to two seconds).
//
// Reading again costs one read into memory the cache keeps for it, a
// comparison with what was read before, and the mending of the index over the
// lines that differ (CDescriptionIndex::Update). Its memory is two images of
// the file and the index: the image the index is over, and the one read to
// compare with it. When any of it cannot be had, cells find their line in the
// image itself, or show no description until the file can be read again.
#pragma once

#include <windows.h>

#include <cstddef>

#include "ChangeWatch.h"
#include "store/ByteBuffer.h"
#include "store/DescriptionIndex.h"
#include "store/DescriptionSettings.h"

class CDescriptionCache {
public:
    // How long what was read answers cells where Windows reports no change.
    static const DWORD kFreshForMs = 190;

    CDescriptionCache();
    ~CDescriptionCache();
    CDescriptionCache(const CDescriptionCache&) = delete;
    CDescriptionCache& operator=(const CDescriptionCache&) = delete;

    // The description of the file at path (at most 259 characters) as a cell
    // shows it: at most 259 characters in description (260 bytes), empty when
    // the file has none or its description equals the path (ignoring case).
    void Lookup(const char* path, char* description);

private:
    void Start(const char* folder, size_t folderLength, DWORD now);
    void Look(DWORD now);
    bool ReadSettings(DWORD now);
    void ReadDescriptionFile(DWORD now);
    void Forget();

    CChangeWatch m_watch;
    bool m_held;                // m_folder is the folder of the cells answered
    char m_folder[260];         // drive and folder
    size_t m_folderLength;
    DWORD m_lookTick;           // the tick in which it was last looked for changes
    DWORD m_settingsTick;       // when the settings were read
    DWORD m_fileTick;           // when the file was read
    bool m_readFailed;          // the last reading of the file failed: read again after the bound
    DescriptionSettings m_settings;
    HKEY m_settingsKey;         // kept open while the cache lives, or null
    bool m_haveFile;            // false: the file is missing or could not be read: no descriptions
    CByteBuffer m_images[2];    // the file as read (m_current), and room for the next reading
    int m_current;
    bool m_indexed;             // m_index is over m_images[m_current]
    CDescriptionIndex m_index;
};

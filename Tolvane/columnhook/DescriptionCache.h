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
//
// The file's encoding is told again at each reading (TextEncoding.h); the
// index is over the lines behind the UTF-8 mark, and a cell's name is put in
// the file's own form before it is looked for.
//
// A view is asked in one form: ANSI paths on Windows 95, 98 and Me (and for
// ANSI notifications), wide ones where Explorer is Unicode. A cell asked in the
// other form than the one held starts the folder again.
#pragma once

#include <windows.h>

#include <cstddef>

#include <string_view>

#include "ChangeWatch.h"
#include "store/ByteBuffer.h"
#include "store/DescriptionIndex.h"
#include "store/DescriptionSettings.h"
#include "store/FileCodec.h"
#include "store/TextEncoding.h"

class CDescriptionCache {
public:
    // How long what was read answers cells where Windows reports no change.
    static const DWORD kFreshForMs = 190;

    CDescriptionCache();
    ~CDescriptionCache();
    CDescriptionCache(const CDescriptionCache&) = delete;
    CDescriptionCache& operator=(const CDescriptionCache&) = delete;

    // The description of the file at path (at most 259 characters) as a cell
    // shows it: at most 259 characters in description (260 characters), empty
    // when the file has none or its description equals the path (ignoring
    // case).
    void Lookup(const char* path, char* description);
    void Lookup(const wchar_t* path, wchar_t* description);

private:
    template <class Char>
    void Answer(const Char* path, Char* description);
    bool HoldsFolder(std::string_view folder) const;
    bool HoldsFolder(std::wstring_view folder) const;
    void Start(std::string_view folder, DWORD now);
    void Start(std::wstring_view folder, DWORD now);
    void Hold(size_t folderLength, bool wide, DWORD now);
    void WatchHeldFolder();
    void Look(DWORD now);
    bool ReadSettings(DWORD now);
    void ReadDescriptionFile(DWORD now);
    void Forget();
    FileCodec Codec() const;

    CChangeWatch m_watch;
    bool m_held;                // m_folder (or m_wideFolder) is the folder of the cells answered
    bool m_wide;                // the folder held is m_wideFolder, else m_folder
    char m_folder[260];         // drive and folder
    wchar_t m_wideFolder[260];
    size_t m_folderLength;
    DWORD m_lookTick;           // the tick in which it was last looked for changes
    DWORD m_settingsTick;       // when the settings were read
    DWORD m_fileTick;           // when the file was read
    bool m_readFailed;          // the last reading of the file failed: read again after the bound
    DescriptionSettings m_settings;
    FileEncoding m_encoding;    // of m_images[m_current]; the index is over the lines behind a mark
    HKEY m_settingsKey;         // kept open while the cache lives, or null
    bool m_haveFile;            // false: the file is missing or could not be read: no descriptions
    CByteBuffer m_images[2];    // the file as read (m_current), and room for the next reading
    int m_current;
    bool m_indexed;             // m_index is over m_images[m_current]
    CDescriptionIndex m_index;
};

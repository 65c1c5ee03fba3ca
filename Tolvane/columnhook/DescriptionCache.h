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
//
// A view is asked in one form: ANSI paths on Windows 95, 98 and Me (and for
// ANSI notifications), wide ones where Explorer is Unicode. A cell asked in the
// other form than the one held reads the file again.
#pragma once

#include <windows.h>

#include <cstddef>

#include <string_view>

#include "store/DescriptionIndex.h"
#include "store/DescriptionSettings.h"
#include "store/FileCodec.h"
#include "store/FileImage.h"
#include "store/TextEncoding.h"

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
    // shows it: at most 259 characters in description (260 characters), empty
    // when the file has none or its description equals the path (ignoring
    // case). False when this cache cannot answer: the caller reads the file
    // itself.
    bool Lookup(const char* path, char* description);
    bool Lookup(const wchar_t* path, wchar_t* description);

private:
    template <class Char>
    bool Answer(const Char* path, Char* description);
    bool HoldsFolder(std::string_view folder) const;
    bool HoldsFolder(std::wstring_view folder) const;
    bool ReadSettings(std::string_view folder, DescriptionSettings* settings);
    bool ReadSettings(std::wstring_view folder, DescriptionSettings* settings);
    template <class Char>
    void Refresh(std::basic_string_view<Char> folder);
    // Marks the folder as read at tick under the settings.
    void Hold(std::string_view folder, const DescriptionSettings& settings, DWORD tick);
    void Hold(std::wstring_view folder, const DescriptionSettings& settings, DWORD tick);
    void Forget();
    FileCodec Codec() const;

    bool m_held;                // m_folder was read at m_readTick
    bool m_declined;            // and is left to the caller (too big, or no memory)
    DWORD m_readTick;
    bool m_wide;                // the folder held is m_wideFolder, else m_folder
    char m_folder[260];         // drive and folder of the cells answered
    wchar_t m_wideFolder[260];
    size_t m_folderLength;
    DescriptionSettings m_settings;
    FileEncoding m_encoding;    // of m_bytes; the index is over the lines behind a mark
    HKEY m_settingsKey;         // kept open while the cache lives, or null
    bool m_haveFile;            // false: the file is missing or could not be read: no descriptions
    char* m_bytes;              // the file as read (malloc)
    size_t m_size;
    CDescriptionIndex m_index;  // over m_bytes
};

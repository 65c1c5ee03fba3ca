// CChangeWatch: Windows' word to one view's description cache that its folder
// or Tolvane's settings changed, so that the cache reads again only then. The
// folder is watched with FindFirstChangeNotification (a name, a size or a
// last-write time changed), which Windows 95 and NT 4 have; the settings with
// RegNotifyChangeKeyValue where Windows has it (looked up: Windows 95, 98 and
// Me do not keep it). What cannot be watched the cache reads again after its
// time bound, as it always did: folders on other than fixed or RAM disks (a
// server may send no word at all, a floppy or a CD may be swapped unseen), and
// every folder past the few watched at once in a process.
//
// A watch belongs to one cache, used only on its view's thread. The number of
// watches in a process is bounded by a table of kMaxWatches places claimed
// with InterlockedExchange, so the handles stay few however many views come
// and go; a place is given back when its view goes.
#pragma once

#include <windows.h>

#include <cstddef>

#include "RegistryKey.h"

class CChangeWatch {
public:
    // Watches at once in one process: the folders of the last few views shown.
    static const int kMaxWatches = 8;

    CChangeWatch();
    ~CChangeWatch();
    CChangeWatch(const CChangeWatch&) = delete;
    CChangeWatch& operator=(const CChangeWatch&) = delete;

    // Starts watching the folder (drive and folder, ending in a separator), in
    // place of the one watched before; called before the folder's file is
    // read, so that a change made during the read is reported at the next
    // look. False when it cannot be watched: the caller keeps to its bound.
    bool WatchFolder(const char* folder, size_t length);
    bool WatchFolder(const wchar_t* folder, size_t length);  // Windows NT's wide names
    // Gives up the watches and the place in the table.
    void Stop();

    bool WatchesFolder() const { return m_folderChange != INVALID_HANDLE_VALUE; }
    bool WatchesSettings() const { return m_settingsEvent != nullptr; }

    struct Changes {
        bool folder;
        bool settings;
    };
    // What Windows reported since the last look (one wait on both handles).
    // What reported is watched again before this returns, so that a change
    // while the caller reads is reported at the next look. A watch that cannot
    // be renewed is given up, and reported as a change.
    Changes Look();

private:
    template <class Char>
    bool WatchFolderOf(const Char* folder, size_t length);
    bool ClaimPlace();
    void StartSettingsWatch();
    bool RenewSettingsWatch();
    void StopSettingsWatch();

    int m_place;              // in the process's table, or -1
    HANDLE m_folderChange;    // or INVALID_HANDLE_VALUE
    CRegistryKey m_settingsParent;  // the key above Tolvane's settings, watched with its subkeys
    HANDLE m_settingsEvent;   // set by the registry when it changes, or null
};

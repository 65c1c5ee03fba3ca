// CChangeWatch: a folder's and the settings' change notifications for one view's
// description cache, and the process-wide table that bounds how many are held.

#include "ChangeWatch.h"

#include <string.h>

#include "Contract.h"

namespace {

// The places of the process's watches: 1 while a watch holds it.
volatile LONG g_places[CChangeWatch::kMaxWatches];

const DWORD kFolderFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
const DWORD kSettingsFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;

typedef LONG(WINAPI* RegNotifyFunction)(HKEY, BOOL, DWORD, HANDLE, BOOL);

// RegNotifyChangeKeyValue, or null where this Windows has none. Looked up once
// per process; the lookup may run on two threads at once and finds the same.
RegNotifyFunction RegNotify() {
    static volatile LONG looked = 0;
    static RegNotifyFunction function = nullptr;
    if (!looked) {
        HMODULE advapi = GetModuleHandleA("advapi32.dll");
        function = advapi ? reinterpret_cast<RegNotifyFunction>(
                                reinterpret_cast<void*>(GetProcAddress(advapi, "RegNotifyChangeKeyValue")))
                          : nullptr;
        InterlockedExchange(const_cast<LONG*>(&looked), 1);
    }
    return function;
}

UINT DriveType(const char* root) { return GetDriveTypeA(root); }
UINT DriveType(const wchar_t* root) { return GetDriveTypeW(root); }
HANDLE FirstChange(const char* path) { return FindFirstChangeNotificationA(path, FALSE, kFolderFilter); }
HANDLE FirstChange(const wchar_t* path) { return FindFirstChangeNotificationW(path, FALSE, kFolderFilter); }

// Folders whose changes Windows reports: those on fixed and RAM disks. A
// network server may send nothing, and a removable disk may be swapped without
// a word, so there the bound stays.
template <class Char>
bool CanBeWatched(const Char* folder, size_t length) {
    if (length < 3 || folder[1] != ':' || (folder[2] != '\\' && folder[2] != '/')) return false;
    Char root[4] = {folder[0], ':', '\\', '\0'};
    UINT type = DriveType(root);
    return type == DRIVE_FIXED || type == DRIVE_RAMDISK;
}

}  // namespace

CChangeWatch::CChangeWatch() : m_place(-1), m_folderChange(INVALID_HANDLE_VALUE), m_settingsEvent(nullptr) {}

CChangeWatch::~CChangeWatch() {
    Stop();
}

bool CChangeWatch::ClaimPlace() {
    if (m_place >= 0) return true;
    for (int place = 0; place < kMaxWatches; ++place) {
        if (InterlockedExchange(const_cast<LONG*>(&g_places[place]), 1) == 0) {
            m_place = place;
            return true;
        }
    }
    return false;
}

bool CChangeWatch::WatchFolder(const char* folder, size_t length) { return WatchFolderOf(folder, length); }
bool CChangeWatch::WatchFolder(const wchar_t* folder, size_t length) { return WatchFolderOf(folder, length); }

template <class Char>
bool CChangeWatch::WatchFolderOf(const Char* folder, size_t length) {
    if (m_folderChange != INVALID_HANDLE_VALUE) FindCloseChangeNotification(m_folderChange);
    m_folderChange = INVALID_HANDLE_VALUE;
    if (!CanBeWatched(folder, length) || length >= MAX_PATH || !ClaimPlace()) {
        Stop();
        return false;
    }
    // The folder without its closing separator, but for a drive's root.
    Char path[MAX_PATH];
    memcpy(path, folder, length * sizeof(Char));
    if (length > 3 && (path[length - 1] == '\\' || path[length - 1] == '/')) --length;
    path[length] = '\0';
    m_folderChange = FirstChange(path);
    if (m_folderChange == INVALID_HANDLE_VALUE) {
        Stop();
        return false;
    }
    if (!m_settingsEvent) StartSettingsWatch();
    return true;
}

void CChangeWatch::Stop() {
    if (m_folderChange != INVALID_HANDLE_VALUE) FindCloseChangeNotification(m_folderChange);
    m_folderChange = INVALID_HANDLE_VALUE;
    StopSettingsWatch();
    if (m_place >= 0) InterlockedExchange(const_cast<LONG*>(&g_places[m_place]), 0);
    m_place = -1;
}

// The key above Tolvane's settings, with its subkeys: so a value set, the key
// made, or the key deleted are all reported. Where there is no such key yet,
// or no RegNotifyChangeKeyValue, the settings keep to the bound.
void CChangeWatch::StartSettingsWatch() {
    if (!RegNotify() || !m_settingsParent.OpenWith(HKEY_CURRENT_USER, VARNOKE_KEY, KEY_NOTIFY)) return;
    m_settingsEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);  // reset by the wait that sees it
    if (!m_settingsEvent || !RenewSettingsWatch()) StopSettingsWatch();
}

// As designed by Windows NT: the registry reports once per request, to the
// thread that asked; the view's thread asks again each time it was told.
bool CChangeWatch::RenewSettingsWatch() {
    return RegNotify()(m_settingsParent.Handle(), TRUE, kSettingsFilter, m_settingsEvent, TRUE) == ERROR_SUCCESS;
}

void CChangeWatch::StopSettingsWatch() {
    m_settingsParent.Close();
    if (m_settingsEvent) CloseHandle(m_settingsEvent);
    m_settingsEvent = nullptr;
}

CChangeWatch::Changes CChangeWatch::Look() {
    Changes changes = {false, false};
    HANDLE handles[2];
    DWORD count = 0;
    if (m_folderChange != INVALID_HANDLE_VALUE) handles[count++] = m_folderChange;
    if (m_settingsEvent) handles[count++] = m_settingsEvent;
    if (count == 0) return changes;
    // The lower handle wins when both are set: the settings are then looked at apart.
    DWORD result = WaitForMultipleObjects(count, handles, FALSE, 0);
    if (result == WAIT_TIMEOUT) return changes;
    if (result >= WAIT_OBJECT_0 + count) {  // the wait itself failed: trust neither
        Stop();
        changes.folder = changes.settings = true;
        return changes;
    }
    bool folderFirst = m_folderChange != INVALID_HANDLE_VALUE;
    changes.folder = folderFirst && result == WAIT_OBJECT_0;
    changes.settings = m_settingsEvent && (!changes.folder || WaitForSingleObject(m_settingsEvent, 0) == WAIT_OBJECT_0);
    if (changes.folder && !FindNextChangeNotification(m_folderChange)) {
        Stop();
        changes.settings = true;
        return changes;
    }
    if (changes.settings && m_settingsEvent && !RenewSettingsWatch()) StopSettingsWatch();
    return changes;
}

// SystemSnapshot (SystemSnapshot.h): the registry and the system drive read entry by
// entry, and two snapshots compared.
#include "SystemSnapshot.h"

namespace installertest {

namespace {

std::string Lower(std::string text) {
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

SystemSnapshot SystemSnapshot::Take() {
    SystemSnapshot snapshot;
    snapshot.AddKey(HKEY_LOCAL_MACHINE, "HKLM", "Software");
    snapshot.AddKey(HKEY_CURRENT_USER, "HKCU", "Software");
    // Wine's own state, which it changes as programs run (system parameters once the
    // first window is made, for one); nothing installed goes there.
    snapshot.Forget("HKCU\\Software\\Wine");
    char temp[MAX_PATH] = {};
    DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length && temp[length - 1] == '\\') temp[length - 1] = '\0';
    char drive[MAX_PATH] = {};
    GetSystemDirectoryA(drive, MAX_PATH);
    drive[2] = '\0';   // "C:"
    snapshot.AddFolder(drive, Lower(temp));
    return snapshot;
}

void SystemSnapshot::Forget(const std::string& key) {
    for (auto entry = entries_.lower_bound(key);
         entry != entries_.end() && entry->first.compare(0, key.size(), key) == 0;) {
        char next = entry->first.size() > key.size() ? entry->first[key.size()] : '\0';
        if (next == '\0' || next == '\\' || next == ':')
            entry = entries_.erase(entry);
        else
            ++entry;   // a key whose name merely begins the same
    }
}

void SystemSnapshot::AddKey(HKEY root, const std::string& rootName, const std::string& subkey) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    std::string name = rootName + "\\" + subkey;
    entries_[name] = "";
    std::vector<BYTE> data(4096);
    for (DWORD index = 0;; ++index) {
        char valueName[16384];
        DWORD nameLength = sizeof valueName, type = 0, size = static_cast<DWORD>(data.size());
        LONG result = RegEnumValueA(key, index, valueName, &nameLength, nullptr, &type, data.data(), &size);
        if (result == ERROR_MORE_DATA) {
            data.resize(size);
            --index;
            continue;
        }
        if (result != ERROR_SUCCESS) break;
        entries_[name + ":" + valueName] =
            std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data.data()), size);
    }
    std::vector<std::string> children;
    for (DWORD index = 0;; ++index) {
        char child[256];
        DWORD childLength = sizeof child;
        if (RegEnumKeyExA(key, index, child, &childLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.push_back(child);
    }
    RegCloseKey(key);
    for (const std::string& child : children) AddKey(root, rootName, subkey + "\\" + child);
}

void SystemSnapshot::AddFolder(const std::string& folder, const std::string& skipped) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> folders;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        std::string full = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (Lower(full) == skipped) continue;
            entries_[full + "\\"] = "";
            folders.push_back(full);
        } else {
            entries_[full] = std::to_string(found.nFileSizeLow) + " bytes, attributes " +
                             std::to_string(found.dwFileAttributes);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& child : folders) AddFolder(child, skipped);
}

std::vector<std::string> SystemSnapshot::ChangesSince(const SystemSnapshot& earlier) const {
    std::vector<std::string> changes;
    auto before = earlier.entries_.begin();
    auto now = entries_.begin();
    while (before != earlier.entries_.end() || now != entries_.end()) {
        if (now == entries_.end() || (before != earlier.entries_.end() && before->first < now->first)) {
            changes.push_back("- " + before->first);
            ++before;
        } else if (before == earlier.entries_.end() || now->first < before->first) {
            changes.push_back("+ " + now->first);
            ++now;
        } else {
            if (now->second != before->second) changes.push_back("~ " + now->first);
            ++before;
            ++now;
        }
    }
    return changes;
}

std::string Describe(const std::vector<std::string>& changes) {
    std::string text;
    for (const std::string& change : changes) text += "\n    " + change;
    return text;
}

}  // namespace installertest

// What a Windows installation leaves in a system: every registry key and value under
// HKLM\Software (which holds HKEY_CLASSES_ROOT) and HKCU\Software, and every file and
// folder of the system drive outside the temporary folder. Two snapshots compare
// entry by entry, so a test sees exactly what an installer added, changed or removed.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace installertest {

class SystemSnapshot {
public:
    // Reads the system as it is now.
    static SystemSnapshot Take();

    // "+ entry", "- entry" or "~ entry" for each difference from the earlier snapshot,
    // in the order of the entries' names.
    std::vector<std::string> ChangesSince(const SystemSnapshot& earlier) const;

    size_t Size() const { return entries_.size(); }

private:
    void AddKey(HKEY root, const std::string& rootName, const std::string& subkey);
    void AddFolder(const std::string& folder, const std::string& skipped);
    void Forget(const std::string& key);   // the key, its values and its subkeys

    // Name ("HKLM\Software\...\Key", "...\Key:Value", "C:\...\file") -> its content
    // (value type and bytes; file size and attributes; empty for keys and folders).
    std::map<std::string, std::string> entries_;
};

// Joins changes into one line each, for a failure message.
std::string Describe(const std::vector<std::string>& changes);

}  // namespace installertest

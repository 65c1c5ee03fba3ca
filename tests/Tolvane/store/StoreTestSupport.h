// Helpers of the store's tests: description files as entries, the other files of a
// folder, settings.
#pragma once

#include "TestContract.h"
#include "TestSupport.h"
#include "store/DescriptionReader.h"

#include <string>
#include <vector>

namespace storetest {

using contract::kTolvaneKey;

// The entries of a description file's bytes, one "name|description|tail" each.
inline std::vector<std::string> Entries(const std::string& bytes) {
    std::vector<std::string> entries;
    CDescriptionReader reader(bytes.data(), bytes.size());
    DescriptionLine line;
    while (reader.ReadEntry(&line))
        entries.push_back(std::string(line.name) + "|" + std::string(line.description) + "|" +
                          std::string(line.tail));
    return entries;
}

// The names in folder other than the description file DESCRIPT.ION.
inline std::vector<std::string> OtherFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != ".." && name != "DESCRIPT.ION") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

inline void SetAnsi(const char* flag) {
    testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kAnsi, flag);
}

}  // namespace storetest

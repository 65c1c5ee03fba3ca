// Helpers of the store's tests: description files as entries, settings.
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

inline void SetAnsi(const char* flag) {
    testsupport::SetRegString(HKEY_CURRENT_USER, kTolvaneKey, contract::kAnsi, flag);
}

}  // namespace storetest

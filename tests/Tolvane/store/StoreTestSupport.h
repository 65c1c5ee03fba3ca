// Helpers of the store's tests: description files as entries, the other files of a
// folder, settings.
#pragma once

#include "TestContract.h"
#include "TestSupport.h"
#include "store/DescriptionReader.h"

#include <gtest/gtest.h>

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

// A UTF-8 file as a UTF-8-aware program reads it, decoded by Windows (not by
// the store): the mark, if any, off; invalid UTF-8 fails the test; lines at CR
// LF; a quoted or bare name, blanks, the description. One "name|description" in
// UTF-8 each; *mark tells whether the file began with the mark.
inline std::vector<std::string> PeerEntries(const std::string& bytes, bool* mark) {
    std::string rest = bytes;
    *mark = rest.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (*mark) rest.erase(0, 3);
    std::wstring text;
    if (!rest.empty()) {
        const int size = static_cast<int>(rest.size());
        int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, rest.data(), size, nullptr, 0);
        EXPECT_GT(units, 0) << "not UTF-8";
        if (units <= 0) return {};
        text.resize(static_cast<size_t>(units));
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, rest.data(), size, &text[0], units);
    }
    std::vector<std::string> entries;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find(L"\r\n", at);
        EXPECT_NE(end, std::wstring::npos) << "a line without CR LF";
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(at, end - at), name, description;
        at = end + 2;
        const bool quoted = !line.empty() && line[0] == L'"';
        size_t nameEnd = quoted ? line.find(L'"', 1) : line.find(L' ');
        if (nameEnd == std::wstring::npos) nameEnd = line.size();
        name = quoted ? line.substr(1, nameEnd - 1) : line.substr(0, nameEnd);
        size_t start = line.find_first_not_of(L' ', quoted && nameEnd < line.size() ? nameEnd + 1 : nameEnd);
        if (start != std::wstring::npos) description = line.substr(start);
        entries.push_back(testsupport::Utf8(name) + "|" + testsupport::Utf8(description));
    }
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

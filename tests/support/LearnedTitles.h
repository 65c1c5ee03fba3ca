// The titles that Tolvard's wizard learns from an Explorer window, stored as the
// wizard stores them: the four column titles without a terminating zero, the text
// in front of the folder path in double quotes. While ExplorerName is there, Tolvard
// skips its wizard; the column hook recognises a file list by the four titles.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

class LearnedTitles {
public:
    // Stores the first titles (Name, Size, Type, Modified, as many as given) and
    // removes the others; the prefix too unless it is nullptr.
    explicit LearnedTitles(const std::vector<std::string>& titles = {"Name"}, const char* prefix = nullptr);
    // Removes the whole key, as before the wizard ran.
    ~LearnedTitles();
    LearnedTitles(const LearnedTitles&) = delete;
    LearnedTitles& operator=(const LearnedTitles&) = delete;

    // Stores them without the object (tools, and tests that change them midway).
    static void Store(const std::vector<std::string>& titles, const char* prefix = nullptr);
    static void Forget();   // removes the whole key
};

}  // namespace testsupport

// The titles Tolvard's wizard learns, stored and removed as the wizard does
// (LearnedTitles.h).
#include "LearnedTitles.h"

#include <windows.h>

#include "TestContract.h"
#include "TestSupport.h"

namespace testsupport {

LearnedTitles::LearnedTitles(const std::vector<std::string>& titles, const char* prefix) { Store(titles, prefix); }

LearnedTitles::~LearnedTitles() { Forget(); }

void LearnedTitles::Store(const std::vector<std::string>& titles, const char* prefix) {
    if (prefix) SetRegString(HKEY_CURRENT_USER, contract::kExplorerKey, contract::kTitlePrefix, prefix);
    HKEY key = nullptr;
    RegCreateKeyA(HKEY_CURRENT_USER, contract::kExplorerKey, &key);
    for (size_t index = 0; index < 4; ++index) {
        if (index < titles.size())
            SetRegString(HKEY_CURRENT_USER, contract::kExplorerKey, contract::kTitleValues[index], titles[index], false);
        else if (key)
            RegDeleteValueA(key, contract::kTitleValues[index]);
    }
    if (key) RegCloseKey(key);
}

void LearnedTitles::Forget() { DeleteRegTree(HKEY_CURRENT_USER, contract::kExplorerKey); }

}  // namespace testsupport

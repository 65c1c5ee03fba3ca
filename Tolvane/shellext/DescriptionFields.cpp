#include "DescriptionFields.h"

#include "Descriptions.h"
#include "Resource.h"
#include "Settings.h"
#include "ShortName.h"
#include "store/AnsiText.h"

namespace {

// Descriptions of up to 2047 characters; the fields take no more, so nothing
// typed is cut away unseen when stored.
const int kFieldSize = 2048;

void StoreField(HWND window, int id, const char* path) {
    char text[kFieldSize] = "";
    GetDlgItemTextA(window, id, text, kFieldSize);
    if (text[0] != '\0')
        SetDescription(text, path);
    else
        DelDescription(path);
}

}  // namespace

bool ShortNameDiffers(const char* path, char* shortPath, PathParts* shortParts) {
    PathParts longParts;
    SplitPath(path, &longParts, IsAnsiLeadByte);
    const DWORD length = GetShortPathNameA(path, shortPath, kShortPathSize);
    if (length == 0 || length >= kShortPathSize || !SplitPath(shortPath, shortParts, IsAnsiLeadByte)) {
        lstrcpynA(shortPath, path, kShortPathSize);
        *shortParts = longParts;
        return false;
    }
    return !SameFileName(longParts, *shortParts);
}

void FillDescriptionFields(HWND window, const char* path) {
    PathParts parts;
    SplitPath(path, &parts, IsAnsiLeadByte);
    SetDlgItemTextA(window, IDC_FOLDER, parts.FolderPath().c_str());
    SetDlgItemTextA(window, IDC_LONG_NAME, parts.FileName().c_str());
    char text[kDescriptionSize];

    SendDlgItemMessageA(window, IDC_DESCRIPTION, EM_LIMITTEXT, kFieldSize - 1, 0);
    SendDlgItemMessageA(window, IDC_SHORT_DESCRIPTION, EM_LIMITTEXT, kFieldSize - 1, 0);

    text[0] = '\0';
    GetDescription(text, path);
    SetDlgItemTextA(window, IDC_DESCRIPTION, text);

    SetDlgItemTextA(window, IDC_VERSION, "1.13");
    CheckDlgButton(window, IDC_ANSI_FONT, ReadAnsiSetting() ? BST_CHECKED : BST_UNCHECKED);

    char shortPath[kShortPathSize];
    PathParts shortParts;
    const bool differs = ShortNameDiffers(path, shortPath, &shortParts);
    SetDlgItemTextA(window, IDC_SHORT_NAME, shortParts.FileName().c_str());
    if (!differs) return;

    text[0] = '\0';
    GetDescription(text, shortPath);
    SetDlgItemTextA(window, IDC_SHORT_DESCRIPTION, text);
    const int shortGroup[] = {IDC_LONG_AS_SHORT, IDC_SHORT_DESCRIPTION, IDC_SHORT_GROUP,
                              IDC_SHORT_DESC_LABEL, IDC_SHORT_NAME_LABEL, IDC_SHORT_NAME};
    for (int id : shortGroup) EnableWindow(GetDlgItem(window, id), TRUE);
}

void CopyLongNameToShortField(HWND window, const char* path) {
    PathParts parts;
    SplitPath(path, &parts, IsAnsiLeadByte);
    SetDlgItemTextA(window, IDC_SHORT_DESCRIPTION, parts.FileName().c_str());
}

void StoreDescriptionFields(HWND window, const char* path) {
    // "Ansi" first: the descriptions stored next already follow it.
    WriteAnsiSetting(IsDlgButtonChecked(window, IDC_ANSI_FONT) == BST_CHECKED);
    StoreField(window, IDC_DESCRIPTION, path);

    char shortPath[kShortPathSize];
    PathParts shortParts;
    if (ShortNameDiffers(path, shortPath, &shortParts)) StoreField(window, IDC_SHORT_DESCRIPTION, shortPath);
}

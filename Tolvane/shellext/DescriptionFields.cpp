// The description fields that the edit dialog and the property page share
// (DescriptionFields.h): filling them from the description file, the notes beside a
// field that was cut or could not be read, and storing only what was edited.
#include "DescriptionFields.h"

#include <cstring>
#include <new>

#include "Resource.h"
#include "Version.h"
#include "Settings.h"
#include "ShortName.h"
#include "store/AnsiText.h"
#include "store/DescriptionFile.h"

namespace {

const char kCutNote[] = "shown cut, kept unless edited";
const char kUnreadNote[] = "could not be read";
const char kNotSavedCaption[] = "Description not saved";
const char kNotSavedMessage[] =
    "The description could not be saved: the description file is read-only, or another "
    "program kept it busy, or the disk is full.\n\n"
    "Your text is still in the field. Try again with OK, or press Cancel to leave the "
    "description as it was.";

// How much of text a field shows: all of it, or kFieldLength characters that
// do not end in the first half of a double-byte character.
size_t ShownLength(const char* text) {
    size_t length = strlen(text);
    if (length <= static_cast<size_t>(kFieldLength)) return length;
    size_t shown = 0;
    while (shown < static_cast<size_t>(kFieldLength)) {
        size_t step = IsAnsiLeadByte(static_cast<unsigned char>(text[shown])) ? 2 : 1;
        if (shown + step > static_cast<size_t>(kFieldLength)) break;
        shown += step;
    }
    return shown;
}

void ShowNote(HWND window, int noteId, const char* note) {
    HWND control = GetDlgItem(window, noteId);
    if (note) SetWindowTextA(control, note);
    ShowWindow(control, note ? SW_SHOWNA : SW_HIDE);
}

bool NoteShown(HWND window, int noteId) {
    return (GetWindowLongA(GetDlgItem(window, noteId), GWL_STYLE) & WS_VISIBLE) != 0;
}

// Puts the description of path into the field. When it cannot be had (the
// file could not be read, or memory ran out), the field is made read-only and
// is never stored, so that what the file holds is not overwritten by an empty
// field.
void FillField(HWND window, int fieldId, int noteId, const char* path) {
    HWND field = GetDlgItem(window, fieldId);
    CDescriptionFile file;
    file.Load(path);
    const char* found = file.FindDescription(path);
    if (!found && file.Incomplete()) {
        SendMessageA(field, EM_SETREADONLY, TRUE, 0);
        ShowNote(window, noteId, kUnreadNote);
        return;
    }
    if (!found) found = "";
    const size_t shown = ShownLength(found);
    if (found[shown] == '\0') {
        SetWindowTextA(field, found);
        return;
    }
    char* cut = new (std::nothrow) char[shown + 1];
    if (!cut) {
        SendMessageA(field, EM_SETREADONLY, TRUE, 0);
        ShowNote(window, noteId, kUnreadNote);
        return;
    }
    memcpy(cut, found, shown);
    cut[shown] = '\0';
    SetWindowTextA(field, cut);
    delete[] cut;
    ShowNote(window, noteId, kCutNote);
}

// Stores one field against what the file holds now. False when the field
// holds a change that could not be stored.
bool StoreField(HWND window, int fieldId, int noteId, const char* path) {
    HWND field = GetDlgItem(window, fieldId);
    if (GetWindowLongA(field, GWL_STYLE) & ES_READONLY) return true;
    const bool shownCut = NoteShown(window, noteId);
    if (shownCut && !SendMessageA(field, EM_GETMODIFY, 0, 0)) return true;

    char* text = new (std::nothrow) char[kFieldLength + 1];
    if (!text) return false;
    text[0] = '\0';
    GetWindowTextA(field, text, kFieldLength + 1);

    CDescriptionFile file;
    file.Load(path);
    const char* now = file.FindDescription(path);
    // A file that cannot be read now cannot be compared with: whatever the
    // field holds is not stored.
    bool stored = false;
    if (now || !file.Incomplete()) {
        if (!now) now = "";
        const size_t shown = ShownLength(now);
        // Unchanged: the whole description, or the cut one the field was given.
        const bool same = strcmp(text, now) == 0 || (strlen(text) == shown && memcmp(text, now, shown) == 0);
        if (!same) {
            if (text[0] != '\0')
                file.SetEntry(path, text);
            else
                file.DeleteEntry(path);
        }
        stored = file.Close();
        if (!same && stored && shownCut) ShowNote(window, noteId, nullptr);
    }
    delete[] text;
    return stored;
}

// Shows a part of a path (a name or a folder) in a control, cut to MAX_PATH - 1 bytes.
void ShowPathPart(HWND window, int control, std::string_view part) {
    char text[MAX_PATH];
    CopyText(part, text, MAX_PATH);
    SetDlgItemTextA(window, control, text);
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
    ShowPathPart(window, IDC_FOLDER, parts.FolderPath());
    ShowPathPart(window, IDC_LONG_NAME, parts.FileName());

    SendDlgItemMessageA(window, IDC_DESCRIPTION, EM_LIMITTEXT, kFieldLength, 0);
    SendDlgItemMessageA(window, IDC_SHORT_DESCRIPTION, EM_LIMITTEXT, kFieldLength, 0);
    FillField(window, IDC_DESCRIPTION, IDC_DESCRIPTION_NOTE, path);

    SetDlgItemTextA(window, IDC_VERSION, TOLVANE_VERSION_SHORT);
    CheckDlgButton(window, IDC_ANSI_FONT, ReadAnsiSetting() ? BST_CHECKED : BST_UNCHECKED);

    char shortPath[kShortPathSize];
    PathParts shortParts;
    const bool differs = ShortNameDiffers(path, shortPath, &shortParts);
    ShowPathPart(window, IDC_SHORT_NAME, shortParts.FileName());
    if (!differs) return;

    FillField(window, IDC_SHORT_DESCRIPTION, IDC_SHORT_NOTE, shortPath);
    const int shortGroup[] = {IDC_LONG_AS_SHORT, IDC_SHORT_DESCRIPTION, IDC_SHORT_GROUP,
                              IDC_SHORT_DESC_LABEL, IDC_SHORT_NAME_LABEL, IDC_SHORT_NAME};
    for (int id : shortGroup) EnableWindow(GetDlgItem(window, id), TRUE);
}

void CopyLongNameToShortField(HWND window, const char* path) {
    PathParts parts;
    SplitPath(path, &parts, IsAnsiLeadByte);
    ShowPathPart(window, IDC_SHORT_DESCRIPTION, parts.FileName());
    // Setting a text clears the edit flag; this is an edit of the user's.
    SendDlgItemMessageA(window, IDC_SHORT_DESCRIPTION, EM_SETMODIFY, TRUE, 0);
}

bool StoreDescriptionFields(HWND window, const char* path) {
    // "Ansi" first: the descriptions stored next already follow it.
    WriteAnsiSetting(IsDlgButtonChecked(window, IDC_ANSI_FONT) == BST_CHECKED);
    bool stored = StoreField(window, IDC_DESCRIPTION, IDC_DESCRIPTION_NOTE, path);

    char shortPath[kShortPathSize];
    PathParts shortParts;
    if (ShortNameDiffers(path, shortPath, &shortParts))
        stored = StoreField(window, IDC_SHORT_DESCRIPTION, IDC_SHORT_NOTE, shortPath) && stored;
    return stored;
}

void ReportNotStored(HWND owner) {
    MessageBoxA(owner, kNotSavedMessage, kNotSavedCaption, MB_OK | MB_ICONEXCLAMATION);
}

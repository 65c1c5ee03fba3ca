// The description fields that the edit dialog and the property page share
// (DescriptionFields.h): filling them from the description file, the notes beside a
// field that was cut or could not be read, and storing only what was edited.
#include "DescriptionFields.h"

#include <cstring>
#include <new>

#include "Resource.h"
#include "Settings.h"
#include "ShortName.h"
#include "Version.h"
#include "module/WideWindows.h"
#include "store/AnsiText.h"
#include "store/DescriptionFile.h"
#include "store/PathParts.h"

namespace {

const char kCutNote[] = "shown cut, kept unless edited";
const char kUnreadNote[] = "could not be read";
// An ANSI field (Windows 95, 98 and Me) of a description with letters that the
// ANSI code page lacks: editing it would store stand-ins for them.
const char kLossyNote[] = "has letters not shown here";
// The file's name has letters that the folder's description file cannot hold.
const char kShortNameNote[] = "kept under the short name";
const char kNameNote[] = "cannot be described here";

const char kNotSavedCaption[] = "Description not saved";
const char kNotSavedMessage[] =
    "The description could not be saved: the description file is read-only, or another "
    "program kept it busy, or the disk is full.\n\n"
    "Your text is still in the field. Try again with OK, or press Cancel to leave the "
    "description as it was.";
const char kAnsiNotHeld[] =
    "The description could not be saved: it holds letters that this folder's description file "
    "cannot hold, for the file is kept in the ANSI code page.\n\n"
    "Your text is still in the field. Change those letters and try again with OK, or press Cancel "
    "to leave the description as it was.";
const char kOemNotHeld[] =
    "The description could not be saved: it holds letters that this folder's description file "
    "cannot hold, for the file is kept in the OEM (DOS) code page (\"ANSI font\" is off).\n\n"
    "Your text is still in the field. Change those letters and try again with OK, or press Cancel "
    "to leave the description as it was.";

// Window texts, paths and lookups in the form of the selected file.
void SetText(HWND control, const char* text) { SetWindowTextA(control, text); }
void SetText(HWND control, const wchar_t* text) {
    if (const WideWindows* wide = Wide()) wide->setWindowText(control, text);
}
void GetText(HWND control, char* text, int size) { GetWindowTextA(control, text, size); }
void GetText(HWND control, wchar_t* text, int size) {
    text[0] = L'\0';
    if (const WideWindows* wide = Wide()) wide->getWindowText(control, text, size);
}

bool Split(const char* path, PathParts* parts) { return SplitPath(path, parts, IsAnsiLeadByte); }
bool Split(const wchar_t* path, WidePathParts* parts) { return SplitPath(path, parts); }

DWORD ShortPathOf(const char* path, char* shortPath) { return GetShortPathNameA(path, shortPath, kShortPathSize); }
DWORD ShortPathOf(const wchar_t* path, wchar_t* shortPath) {
    return GetShortPathNameW(path, shortPath, kShortPathSize);
}

const char* Find(CDescriptionFile& file, const char* path, bool* lossy) { return file.FindDescription(path, lossy); }
const wchar_t* Find(CDescriptionFile& file, const wchar_t* path, bool* lossy) {
    *lossy = false;
    return file.FindDescription(path);
}

// Whether the character at text[at] takes two places: a double-byte character
// of the ANSI code page, or a surrogate pair.
size_t Step(const char* text, size_t at) { return IsAnsiLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1; }
size_t Step(const wchar_t* text, size_t at) { return text[at] >= 0xD800 && text[at] <= 0xDBFF ? 2 : 1; }

// How much of text a field shows: all of it, or kFieldLength characters that
// do not end in the first half of a character.
template <class Char>
size_t ShownLength(const Char* text) {
    size_t length = TextLength(text);
    if (length <= static_cast<size_t>(kFieldLength)) return length;
    size_t shown = 0;
    while (shown < static_cast<size_t>(kFieldLength)) {
        size_t step = Step(text, shown);
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

bool NoteShown(HWND window, int noteId, const char* note) {
    HWND control = GetDlgItem(window, noteId);
    char text[64] = "";
    GetWindowTextA(control, text, sizeof text);
    return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0 && strcmp(text, note) == 0;
}

// A field that is never stored, with the note that says why.
void KeepFromStoring(HWND window, HWND field, int noteId, const char* note) {
    SendMessageA(field, EM_SETREADONLY, TRUE, 0);
    ShowNote(window, noteId, note);
}

// Puts the description of path into the field. When it cannot be had (the
// file could not be read, or memory ran out), or not without losing letters,
// the field is made read-only and is never stored, so that what the file holds
// is not overwritten. The result tells under which name the file holds it.
template <class Char>
NameForm FillField(HWND window, int fieldId, int noteId, const Char* path) {
    HWND field = GetDlgItem(window, fieldId);
    CDescriptionFile file;
    file.Load(path);
    const NameForm form = file.NameFormOf(path);
    if (form == NameForm::None) {
        KeepFromStoring(window, field, noteId, kNameNote);
        return form;
    }
    bool lossy = false;
    const Char* found = Find(file, path, &lossy);
    if (!found && file.Incomplete()) {
        KeepFromStoring(window, field, noteId, kUnreadNote);
        return form;
    }
    const Char empty[1] = {0};
    if (!found) found = empty;
    const size_t shown = ShownLength(found);
    if (lossy) KeepFromStoring(window, field, noteId, kLossyNote);
    if (found[shown] == 0) {
        SetText(field, found);
        if (!lossy && form == NameForm::Short) ShowNote(window, noteId, kShortNameNote);
        return form;
    }
    Char* cut = new (std::nothrow) Char[shown + 1];
    if (!cut) {
        KeepFromStoring(window, field, noteId, kUnreadNote);
        return form;
    }
    memcpy(cut, found, shown * sizeof(Char));
    cut[shown] = 0;
    SetText(field, cut);
    delete[] cut;
    if (!lossy) ShowNote(window, noteId, kCutNote);
    return form;
}

// Stores one field against what the file holds now.
template <class Char>
FieldsStored StoreField(HWND window, int fieldId, int noteId, const Char* path) {
    HWND field = GetDlgItem(window, fieldId);
    if (GetWindowLongA(field, GWL_STYLE) & ES_READONLY) return FieldsStored::All;
    const bool shownCut = NoteShown(window, noteId, kCutNote);
    if (shownCut && !SendMessageA(field, EM_GETMODIFY, 0, 0)) return FieldsStored::All;

    Char* text = new (std::nothrow) Char[kFieldLength + 1];
    if (!text) return FieldsStored::NotSaved;
    text[0] = 0;
    GetText(field, text, kFieldLength + 1);

    CDescriptionFile file;
    file.Load(path);
    bool lossy = false;
    const Char* now = Find(file, path, &lossy);
    // A file that cannot be read now cannot be compared with: whatever the
    // field holds is not stored.
    FieldsStored outcome = FieldsStored::NotSaved;
    if (now || !file.Incomplete()) {
        const Char empty[1] = {0};
        if (!now) now = empty;
        const size_t shown = ShownLength(now);
        const size_t length = TextLength(text);
        // Unchanged: the whole description, or the cut one the field was given.
        const bool same = (length == TextLength(now) || length == shown) && memcmp(text, now, length * sizeof(Char)) == 0;
        StoreResult result = kStoreDone;
        if (!same) result = text[0] ? file.SetEntry(path, text) : file.DeleteEntry(path);
        const bool stored = file.Close();
        if (result == kStoreTextNotHeld)
            outcome = FieldsStored::LettersNotHeld;
        else if (stored)
            outcome = FieldsStored::All;
        if (!same && stored && shownCut) ShowNote(window, noteId, nullptr);
    }
    delete[] text;
    return outcome;
}

// Shows a part of a path (a name or a folder) in a control, cut to MAX_PATH - 1 characters.
template <class Char>
void ShowPathPart(HWND window, int control, std::basic_string_view<Char> part) {
    Char text[MAX_PATH];
    CopyText(part, text, MAX_PATH);
    SetText(GetDlgItem(window, control), text);
}

template <class Char>
bool Differs(const Char* path, Char* shortPath, BasicPathParts<Char>* shortParts) {
    BasicPathParts<Char> longParts;
    Split(path, &longParts);
    const DWORD length = ShortPathOf(path, shortPath);
    if (length == 0 || length >= kShortPathSize || !Split(shortPath, shortParts)) {
        CopyText(std::basic_string_view<Char>(path, TextLength(path)), shortPath, kShortPathSize);
        *shortParts = longParts;
        return false;
    }
    return !SameFileName(longParts, *shortParts);
}

template <class Char>
void Fill(HWND window, const Char* path) {
    BasicPathParts<Char> parts;
    Split(path, &parts);
    ShowPathPart(window, IDC_FOLDER, parts.FolderPath());
    ShowPathPart(window, IDC_LONG_NAME, parts.FileName());

    SendDlgItemMessageA(window, IDC_DESCRIPTION, EM_LIMITTEXT, kFieldLength, 0);
    SendDlgItemMessageA(window, IDC_SHORT_DESCRIPTION, EM_LIMITTEXT, kFieldLength, 0);
    const NameForm form = FillField(window, IDC_DESCRIPTION, IDC_DESCRIPTION_NOTE, path);

    SetDlgItemTextA(window, IDC_VERSION, TOLVANE_VERSION_SHORT);
    CheckDlgButton(window, IDC_ANSI_FONT, ReadAnsiSetting() ? BST_CHECKED : BST_UNCHECKED);

    Char shortPath[kShortPathSize];
    BasicPathParts<Char> shortParts;
    const bool differs = Differs(path, shortPath, &shortParts);
    ShowPathPart(window, IDC_SHORT_NAME, shortParts.FileName());
    // Described under its short name already, the file has one entry, edited in the long field.
    if (!differs || form == NameForm::Short) return;

    FillField(window, IDC_SHORT_DESCRIPTION, IDC_SHORT_NOTE, shortPath);
    const int shortGroup[] = {IDC_LONG_AS_SHORT, IDC_SHORT_DESCRIPTION, IDC_SHORT_GROUP,
                              IDC_SHORT_DESC_LABEL, IDC_SHORT_NAME_LABEL, IDC_SHORT_NAME};
    for (int id : shortGroup) EnableWindow(GetDlgItem(window, id), TRUE);
}

template <class Char>
void CopyLongName(HWND window, const Char* path) {
    BasicPathParts<Char> parts;
    Split(path, &parts);
    ShowPathPart(window, IDC_SHORT_DESCRIPTION, parts.FileName());
    // Setting a text clears the edit flag; this is an edit of the user's.
    SendDlgItemMessageA(window, IDC_SHORT_DESCRIPTION, EM_SETMODIFY, TRUE, 0);
}

// The outcome told first of two: letters that cannot be held, which the user
// can change, before a file that could not be written.
FieldsStored Worse(FieldsStored first, FieldsStored second) {
    if (first == FieldsStored::LettersNotHeld || second == FieldsStored::LettersNotHeld)
        return FieldsStored::LettersNotHeld;
    return first == FieldsStored::All ? second : first;
}

template <class Char>
FieldsStored Store(HWND window, const Char* path) {
    // "Ansi" first: the descriptions stored next already follow it.
    WriteAnsiSetting(IsDlgButtonChecked(window, IDC_ANSI_FONT) == BST_CHECKED);
    const FieldsStored longOutcome = StoreField(window, IDC_DESCRIPTION, IDC_DESCRIPTION_NOTE, path);

    FieldsStored shortOutcome = FieldsStored::All;
    Char shortPath[kShortPathSize];
    BasicPathParts<Char> shortParts;
    // The short field is enabled only where it names an entry of its own.
    if (Differs(path, shortPath, &shortParts) && IsWindowEnabled(GetDlgItem(window, IDC_SHORT_DESCRIPTION)))
        shortOutcome = StoreField(window, IDC_SHORT_DESCRIPTION, IDC_SHORT_NOTE, shortPath);

    const FieldsStored outcome = Worse(longOutcome, shortOutcome);
    if (outcome != FieldsStored::All)
        SetFocus(GetDlgItem(window, longOutcome == outcome ? IDC_DESCRIPTION : IDC_SHORT_DESCRIPTION));
    return outcome;
}

}  // namespace

bool ShortNameDiffers(const char* path, char* shortPath, PathParts* shortParts) {
    return Differs(path, shortPath, shortParts);
}

bool ShortNameDiffers(const wchar_t* path, wchar_t* shortPath, WidePathParts* shortParts) {
    return Differs(path, shortPath, shortParts);
}

void FillDescriptionFields(HWND window, const SelectedFile& file) {
    if (file.wide)
        Fill(window, file.unicode);
    else
        Fill(window, file.ansi);
}

void CopyLongNameToShortField(HWND window, const SelectedFile& file) {
    if (file.wide)
        CopyLongName(window, file.unicode);
    else
        CopyLongName(window, file.ansi);
}

FieldsStored StoreDescriptionFields(HWND window, const SelectedFile& file) {
    return file.wide ? Store(window, file.unicode) : Store(window, file.ansi);
}

void ReportNotStored(HWND owner, FieldsStored outcome) {
    if (outcome == FieldsStored::All) return;
    // The setting was stored first: it names the code page the file is kept in.
    const char* message = outcome == FieldsStored::NotSaved ? kNotSavedMessage
                          : ReadAnsiSetting()                ? kAnsiNotHeld
                                                             : kOemNotHeld;
    MessageBoxA(owner, message, kNotSavedCaption, MB_OK | MB_ICONEXCLAMATION);
}

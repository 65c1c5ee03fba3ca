// The fields that the edit dialog and the property page share: what they show
// for a file and how they store it. A file known by its wide name is shown and
// stored in wide text (its window is a Unicode one); one known by its ANSI name
// in ANSI text.
#pragma once

#include <windows.h>

#include "SelectedFile.h"
#include "store/PathParts.h"

// The short form of path (GetShortPathName) split into shortParts. When the
// short form cannot be had (the file is gone, for instance) the short name is
// taken as equal to the long one. Returns true when the short name differs from
// the long name; shortPath (kShortPathSize characters) then holds the short path.
constexpr DWORD kShortPathSize = 2000;
bool ShortNameDiffers(const char* path, char* shortPath, PathParts* shortParts);
bool ShortNameDiffers(const wchar_t* path, wchar_t* shortPath, WidePathParts* shortParts);

// The longest description a field shows and keeps: the most that a single-line
// edit control of Windows 95 holds. A longer one is shown cut, with a note
// beside the field, and stays whole unless the user edits the field.
constexpr int kFieldLength = 32766;

// Folder, long name, description, version, the "ANSI font" box, the short name
// and, when it differs, its description with the short-name group enabled. The
// descriptions come whole from the store. A field that cannot be edited without
// losing letters is read-only, with a note that says why: a description that an
// ANSI field cannot show whole, or a name that the folder's description file
// cannot hold. A name that the file cannot hold but whose short name it can is
// described under the short name: the long field edits that entry and the
// short-name group stays disabled.
void FillDescriptionFields(HWND window, const SelectedFile& file);

// "long name as short description": the long name into the short description.
void CopyLongNameToShortField(HWND window, const SelectedFile& file);

// What storing the fields came to.
enum class FieldsStored {
    All,             // every change was stored (or there was none)
    NotSaved,        // the file could not be written (read-only, busy, disk full) or memory ran out
    LettersNotHeld,  // a description holds letters that the folder's file cannot hold
};

// Stores "Ansi" from the box first, then the long name's description, then, when
// the short name differs, the short name's: set when the field holds text,
// deleted when it is empty. A field that holds what the file holds changes
// nothing; a field shown cut is stored only when the user edited it; a field
// that could not be filled is never stored. A field whose change could not be
// stored keeps its text and gets the focus, and the others are stored all the
// same; a description with letters that the folder's file cannot hold is told
// apart from a file that could not be written.
FieldsStored StoreDescriptionFields(HWND window, const SelectedFile& file);

// Tells the user, in a message box owned by owner, that a description could not
// be saved, why, and that the text is still in its field. Only the edit dialog's
// OK and the page's Apply say so: every other path stays silent.
void ReportNotStored(HWND owner, FieldsStored outcome);

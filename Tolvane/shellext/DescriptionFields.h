// The fields that the edit dialog and the property page share: what they show
// for a file and how they store it.
#pragma once

#include <windows.h>

#include "store/PathParts.h"

// The short form of path (GetShortPathNameA) split into shortParts. When the
// short form cannot be had (the file is gone, for instance) the short name is
// taken as equal to the long one. Returns true when the short name differs from
// the long name; shortPath (kShortPathSize bytes) then holds the short path.
constexpr DWORD kShortPathSize = 2000;
bool ShortNameDiffers(const char* path, char* shortPath, PathParts* shortParts);

// The longest description a field shows and keeps: the most that a single-line
// edit control of Windows 95 holds. A longer one is shown cut, with a note
// beside the field, and stays whole unless the user edits the field.
constexpr int kFieldLength = 32766;

// Folder, long name, description, version, the "ANSI font" box, the short name
// and, when it differs, its description with the short-name group enabled. The
// descriptions come whole from the store.
void FillDescriptionFields(HWND window, const char* path);

// "long name as short description": the long name into the short description.
void CopyLongNameToShortField(HWND window, const char* path);

// Stores "Ansi" from the box first, then the long name's description, then, when
// the short name differs, the short name's: set when the field holds text,
// deleted when it is empty. A field that holds what the file holds changes
// nothing; a field shown cut is stored only when the user edited it; a field
// that could not be filled is never stored. False when a field's change could
// not be stored (the fields keep their text); the others are stored all the same.
bool StoreDescriptionFields(HWND window, const char* path);

// Tells the user, in a message box owned by owner, that a description could not
// be saved and that the text is still in its field. Only the edit dialog's OK
// and the page's Apply say so: every other path stays silent.
void ReportNotStored(HWND owner);

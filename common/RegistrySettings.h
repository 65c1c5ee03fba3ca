// Every registry value that Tolvane and Tolvard keep, each with its one reader and its
// one writer, so that both programs (and every part of each) agree on what a stored
// value means. Contract.h names the keys and values and says how each is stored; the
// code that stores and parses them is in RegistrySettings.cpp and nowhere else.
//
// The readers of the two keys under HKEY_CURRENT_USER\Software\Varnoke take the key
// as their caller opened it: each caller keeps its own way of opening it (see
// RegistryKey.h). A null key reads nothing. Every reader sets its result, to the
// stored value or to the value's default when it cannot be read, and returns the
// registry's result: ERROR_SUCCESS when the stored value was taken.
#pragma once

#include <windows.h>

// TOLVANE_SETTINGS_KEY: the options of the description features.
const DWORD kColumnNameSize = 260;
LONG ReadColumnName(HKEY key, char (&name)[kColumnNameSize]);
// Cut to its first 99 characters. False when the key is null or the write fails.
bool WriteColumnName(HKEY key, const char* name);
// The description column's width in pixels.
LONG ReadColumnWidth(HKEY key, int* width);
bool WriteColumnWidth(HKEY key, int width);
// How many description bytes the context-menu entry shows, as stored (the menu
// takes no more than 2000 of them).
LONG ReadContextWidth(HKEY key, DWORD* width);
bool WriteContextWidth(HKEY key, DWORD width);
// True: descriptions are kept in the ANSI code page; false: in the OEM code page.
LONG ReadAnsi(HKEY key, bool* ansi);
bool WriteAnsi(HKEY key, bool ansi);
// The description file's name in every folder (at most 255 characters).
const DWORD kDescriptionNameSize = 256;
LONG ReadDescriptionName(HKEY key, char (&name)[kDescriptionNameSize]);

// TOLVARD_EXPLORER_KEY: what Tolvard's wizard learned of Explorer's folder windows.
// The columns of Explorer's details view whose titles are learned, in view order.
enum ExplorerColumn { kColumnName, kColumnSize, kColumnType, kColumnModified, kColumnCount };
const DWORD kLearnedTextSize = 260;
// The text in front of the folder path in a folder window's title ("" for none).
LONG ReadTitlePrefix(HKEY key, char (&prefix)[kLearnedTextSize]);
bool WriteTitlePrefix(HKEY key, const char* prefix);
LONG ReadColumnTitle(HKEY key, ExplorerColumn column, char (&title)[kLearnedTextSize]);
bool WriteColumnTitle(HKEY key, ExplorerColumn column, const char* title);

// TOLVARD_SETTINGS_KEY: the tray menu's switches. These open the key themselves.
enum FeatureSwitch { kContextMenuSwitch, kPropertyPageSwitch, kExplorerSwitch };
bool IsSwitchOn(FeatureSwitch feature);
// Creates the key when missing. False when it cannot be written.
bool WriteSwitch(FeatureSwitch feature, bool on);

// What Tolvane, Tolvard and the setup agree on: the class id, the registry keys and
// their values with the defaults the readers fall back to. This is the one place they
// are written: the C++ code and the resource scripts include it, and the build hands
// every #define below to the NSIS script (cmake/Contract.cmake), so each stays a plain
// string, a number, or strings and names of earlier ones side by side.
// The tests keep a copy of their own, so that they stay an independent check.
#pragma once

// Tolvane's one COM class, as text (the registry, the setup) and as a GUID (the code).
#define TOLVANE_CLASS_ID "{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}"
#define TOLVANE_CLASS_GUID {0x9C52E1B7, 0x0A4F, 0x11d3, {0xB6, 0xE2, 0x7F, 0x41, 0xC0, 0x8D, 0x5A, 0x96}}

// Under HKEY_CLASSES_ROOT: the class registration (written by the setup; Tolvard finds
// the library through it) and the shell's handler keys (written and removed by Tolvard's
// switches, whose default value is the class id).
#define TOLVANE_CLASS_KEY "CLSID\\" TOLVANE_CLASS_ID
#define TOLVANE_SERVER_KEY TOLVANE_CLASS_KEY "\\InProcServer32"
#define TOLVANE_HANDLER_NAME "Tolvane"
#define TOLVANE_MENU_HANDLERS "*\\shellex\\ContextMenuHandlers"
#define TOLVANE_PAGE_HANDLERS "*\\shellex\\PropertySheetHandlers"
#define TOLVANE_MENU_HANDLER_KEY TOLVANE_MENU_HANDLERS "\\" TOLVANE_HANDLER_NAME
#define TOLVANE_PAGE_HANDLER_KEY TOLVANE_PAGE_HANDLERS "\\" TOLVANE_HANDLER_NAME

// Under HKEY_CURRENT_USER. Each value below has one reader and one writer, in
// common/RegistrySettings.cpp; beside each name stands how it is stored, which peers
// and older versions rely on, and how it is read.
#define VARNOKE_KEY "Software\\Varnoke"
// Tolvane's settings, written by Tolvard's options dialog (and DescriptionName by hand).
#define TOLVANE_SETTINGS_KEY VARNOKE_KEY "\\Tolvane"
// The title of the description column. REG_SZ: the title and its zero in a zeroed block
// of TOLVANE_COLUMN_NAME_BYTES, so at most 99 characters. Read up to its first zero or
// the end of its data, whatever its type.
#define TOLVANE_COLUMN_NAME "ColumnName"
#define TOLVANE_COLUMN_NAME_DEFAULT "Description"
#define TOLVANE_COLUMN_NAME_BYTES 100
// The column's width in pixels. REG_SZ: decimal digits without a terminating zero,
// written by the column itself. Read from at most 20 bytes: its leading digits.
#define TOLVANE_COLUMN_WIDTH "Breite"
#define TOLVANE_COLUMN_WIDTH_DEFAULT 200
// How many description bytes the context-menu entry shows (the menu takes at most
// 2000; 0 shows the quotes alone). REG_DWORD. Read whatever its type into four bytes
// that hold the default beforehand.
#define TOLVANE_CONTEXT_WIDTH "ContextBreite"
#define TOLVANE_CONTEXT_WIDTH_DEFAULT 1024
// The code page of the descriptions in the files: "1" ANSI, "0" OEM. REG_SZ: the
// character and its zero, 2 bytes. Read: a text of at most three characters whose
// first is "0" means OEM; anything else, or none, ANSI.
#define TOLVANE_ANSI "Ansi"
#define TOLVANE_ANSI_DEFAULT "1"
// The description file's name in every folder. REG_SZ, set by hand. Read: at most 255
// characters; an empty or longer one, or none, is the default.
#define TOLVANE_DESCRIPTION_NAME "DescriptionName"
#define TOLVANE_DESCRIPTION_NAME_DEFAULT "DESCRIPT.ION"

// Tolvard's own keys: the framework's profile (the application's registry key "Varnoke",
// its name "Tolvard"), with the switches under "Settings", and the texts the wizard
// learned from Explorer, which the column reads.
#define TOLVARD_VENDOR "Varnoke"
#define TOLVARD_KEY VARNOKE_KEY "\\Tolvard"
#define TOLVARD_SETTINGS_SECTION "Settings"
#define TOLVARD_SETTINGS_KEY TOLVARD_KEY "\\" TOLVARD_SETTINGS_SECTION
// The tray menu's switches (context-menu entry, property page, column hook). REG_DWORD
// 1 or 0, as the framework's profile writes a number. Read as the profile reads one: a
// REG_DWORD of four bytes, nonzero for on; any other value, or none, is the default.
#define TOLVARD_ENABLE_CONTEXT "EnableContext"
#define TOLVARD_ENABLE_PROPERTY "EnableProperty"
#define TOLVARD_ENABLE_EXPLORER "EnableExplorer"
#define TOLVARD_SWITCH_DEFAULT 1
#define TOLVARD_EXPLORER_KEY TOLVARD_KEY "\\Explorer"
// The text in front of the folder path in Explorer's folder-window titles. REG_SZ: the
// text between two double quotes, with its zero ("" for none). Read: at most 259
// characters, quotes included, less the first and the last. Default: empty.
#define TOLVARD_TITLE_PREFIX "ExplorerTitlePrefix"
// The titles of Explorer's first four details columns. REG_SZ without a terminating
// zero. Read: at most 259 characters, up to a zero or the end of the data. Default:
// empty; the wizard runs while ExplorerName cannot be read.
#define TOLVARD_TITLE_NAME "ExplorerName"
#define TOLVARD_TITLE_SIZE "ExplorerSize"
#define TOLVARD_TITLE_TYPE "ExplorerType"
#define TOLVARD_TITLE_MODIFIED "ExplorerModified"

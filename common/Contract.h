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

// Under HKEY_CURRENT_USER.
#define VARNOKE_KEY "Software\\Varnoke"
// Tolvane's settings, written by Tolvard's options dialog (and DescriptionName by hand).
#define TOLVANE_SETTINGS_KEY VARNOKE_KEY "\\Tolvane"
#define TOLVANE_COLUMN_NAME "ColumnName"          // title of the description column
#define TOLVANE_COLUMN_NAME_DEFAULT "Description"
#define TOLVANE_COLUMN_WIDTH "Breite"             // its width, digits without a zero
#define TOLVANE_COLUMN_WIDTH_DEFAULT 200
#define TOLVANE_CONTEXT_WIDTH "ContextBreite"     // characters the menu entry shows
#define TOLVANE_CONTEXT_WIDTH_DEFAULT 1024
#define TOLVANE_ANSI "Ansi"                       // "1" ANSI, "0" OEM code page
#define TOLVANE_ANSI_DEFAULT "1"
#define TOLVANE_DESCRIPTION_NAME "DescriptionName" // the description file's name
#define TOLVANE_DESCRIPTION_NAME_DEFAULT "DESCRIPT.ION"

// Tolvard's own keys: the framework's profile (the application's registry key "Varnoke",
// its name "Tolvard"), with the switches under "Settings", and the texts the wizard
// learned from Explorer, which the column reads.
#define TOLVARD_VENDOR "Varnoke"
#define TOLVARD_KEY VARNOKE_KEY "\\Tolvard"
#define TOLVARD_SETTINGS_SECTION "Settings"
#define TOLVARD_SETTINGS_KEY TOLVARD_KEY "\\" TOLVARD_SETTINGS_SECTION
#define TOLVARD_ENABLE_CONTEXT "EnableContext"
#define TOLVARD_ENABLE_PROPERTY "EnableProperty"
#define TOLVARD_ENABLE_EXPLORER "EnableExplorer"
#define TOLVARD_EXPLORER_KEY TOLVARD_KEY "\\Explorer"
#define TOLVARD_TITLE_PREFIX "ExplorerTitlePrefix"
#define TOLVARD_TITLE_NAME "ExplorerName"
#define TOLVARD_TITLE_SIZE "ExplorerSize"
#define TOLVARD_TITLE_TYPE "ExplorerType"
#define TOLVARD_TITLE_MODIFIED "ExplorerModified"

// The registry keys, value names and class id that Tolvane, Tolvard and the setup
// share, as the tests know them. The tests keep this copy of their own on purpose
// and never include the product's contract: a value renamed there by mistake then
// fails a test instead of moving the tests along with it.
#pragma once

#include <windows.h>

namespace contract {

// HKEY_CURRENT_USER: the vendor key, and the settings of Tolvane (read by the library,
// edited by Tolvard's options dialog).
constexpr char kVendorKey[] = "Software\\Varnoke";
constexpr char kTolvaneKey[] = "Software\\Varnoke\\Tolvane";
constexpr char kColumnName[] = "ColumnName";
constexpr char kColumnWidth[] = "Breite";
constexpr char kContextWidth[] = "ContextBreite";
constexpr char kAnsi[] = "Ansi";
constexpr char kDescriptionName[] = "DescriptionName";

// HKEY_CURRENT_USER: what Tolvard's wizard learns from Explorer (it runs while
// ExplorerName is missing) and Tolvard's switches.
constexpr char kExplorerKey[] = "Software\\Varnoke\\Tolvard\\Explorer";
constexpr char kTitlePrefix[] = "ExplorerTitlePrefix";
constexpr char kNameTitle[] = "ExplorerName";
constexpr char kSizeTitle[] = "ExplorerSize";
constexpr char kTypeTitle[] = "ExplorerType";
constexpr char kModifiedTitle[] = "ExplorerModified";
constexpr const char* kTitleValues[4] = {kNameTitle, kSizeTitle, kTypeTitle, kModifiedTitle};

constexpr char kSettingsKey[] = "Software\\Varnoke\\Tolvard\\Settings";
constexpr char kEnableContext[] = "EnableContext";
constexpr char kEnableProperty[] = "EnableProperty";
constexpr char kEnableExplorer[] = "EnableExplorer";

// HKEY_CLASSES_ROOT: Tolvane's class and its handler keys for every file.
constexpr CLSID kClassId = {0x9C52E1B7, 0x0A4F, 0x11d3, {0xB6, 0xE2, 0x7F, 0x41, 0xC0, 0x8D, 0x5A, 0x96}};
constexpr char kClassIdText[] = "{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}";
constexpr char kClassKey[] = "CLSID\\{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}";
constexpr char kServerKey[] = "CLSID\\{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}\\InProcServer32";
constexpr char kContextHandlerKey[] = "*\\shellex\\ContextMenuHandlers\\Tolvane";
constexpr char kPropertyHandlerKey[] = "*\\shellex\\PropertySheetHandlers\\Tolvane";

}  // namespace contract

#include "OptionsDlg.h"

#include <string.h>

#include "resource-dialogs.h"

namespace {
const char kTolvaneKey[] = "SOFTWARE\\Varnoke\\Tolvane";
const DWORD kColumnNameSize = 260;     // read buffer
const DWORD kStoredColumnSize = 100;   // every stored "ColumnName" has this data length
}  // namespace

COptionsDialog::COptionsDialog(CWnd* pParent)
    : CDialog(IDD_OPTIONS, pParent), m_contextWidth(0), m_ansi(0) {
    ReadSettings();
}

void COptionsDialog::ReadSettings() {
    m_contextWidth = 0;
    m_ansi = 0;
    m_columnName = "";

    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kTolvaneKey, &key) != ERROR_SUCCESS) key = nullptr;

    // "ColumnName": a missing value, and a stored "unknown", show as "Description".
    char name[kColumnNameSize] = "unknown";
    DWORD type = 0;
    DWORD size = sizeof name;
    if (key && RegQueryValueExA(key, "ColumnName", nullptr, &type, reinterpret_cast<BYTE*>(name),
                                &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        // The data need not carry its terminator: end the text where the data ends.
        name[size < sizeof name ? size : sizeof name - 1] = '\0';
    } else {
        strcpy(name, "unknown");   // a failed read may have left anything in the buffer
    }
    m_columnName = name;
    if (m_columnName == "unknown") m_columnName = "Description";

    // "ContextBreite": a 4-byte number; 0 stands when it is missing.
    DWORD width = 0;
    size = sizeof width;
    if (key && RegQueryValueExA(key, "ContextBreite", nullptr, &type, reinterpret_cast<BYTE*>(&width),
                                &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof width)
        m_contextWidth = width;

    // "Ansi": "0" means OEM; a missing value, like any other text, means ANSI.
    char ansi[4] = "1";
    size = sizeof ansi;
    if (!key || RegQueryValueExA(key, "Ansi", nullptr, &type, reinterpret_cast<BYTE*>(ansi), &size) !=
                    ERROR_SUCCESS)
        strcpy(ansi, "1");
    m_ansi = ansi[0] == '0' ? 0 : 1;

    if (key) RegCloseKey(key);
}

void COptionsDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_CONTEXT_WIDTH, m_contextWidth);
    DDV_MinMaxUInt(pDX, m_contextWidth, 0, 1024);
    DDX_Check(pDX, IDC_ANSI, m_ansi);
    DDX_Text(pDX, IDC_COLUMN_NAME, m_columnName);
}

void COptionsDialog::OnOK() {
    if (!UpdateData(TRUE)) return;   // the exchange has shown its message; the dialog stays
    StoreSettings();
    EndDialog(IDOK);
}

void COptionsDialog::StoreSettings() {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kTolvaneKey, &key) != ERROR_SUCCESS) return;

    // The name and its terminator in a zeroed 100-byte block, cut to 99 characters.
    char name[kStoredColumnSize] = {};
    strncpy(name, m_columnName, kStoredColumnSize - 1);
    RegSetValueExA(key, "ColumnName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof name);

    DWORD width = m_contextWidth;
    RegSetValueExA(key, "ContextBreite", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&width),
                   sizeof width);

    char ansi[2] = {m_ansi ? '1' : '0', '\0'};
    RegSetValueExA(key, "Ansi", 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi), sizeof ansi);

    RegCloseKey(key);
}

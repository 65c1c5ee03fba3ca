#include "OptionsDlg.h"

#include <string.h>

#include "Contract.h"
#include "RegistryKey.h"
#include "resource-dialogs.h"

namespace {
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

    // As designed: the key is created when missing, although only read here.
    CRegistryKey key;
    key.Create(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY);

    // "ColumnName": a missing value, and a stored "unknown", show as "Description".
    char name[kColumnNameSize] = "unknown";
    DWORD type = 0;
    DWORD size = sizeof name;
    if (key.Query(TOLVANE_COLUMN_NAME, name, &size, &type) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        // The data need not carry its terminator: end the text where the data ends.
        name[size < sizeof name ? size : sizeof name - 1] = '\0';
    } else {
        strcpy(name, "unknown");   // a failed read may have left anything in the buffer
    }
    m_columnName = name;
    if (m_columnName == "unknown") m_columnName = TOLVANE_COLUMN_NAME_DEFAULT;

    // "ContextBreite": a 4-byte number. As designed: 0 stands when it is missing,
    // where the context menu itself takes TOLVANE_CONTEXT_WIDTH_DEFAULT.
    DWORD width = 0;
    size = sizeof width;
    if (key.Query(TOLVANE_CONTEXT_WIDTH, &width, &size, &type) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof width)
        m_contextWidth = width;

    // "Ansi": "0" means OEM; a missing value, like any other text, means ANSI.
    char ansi[4] = TOLVANE_ANSI_DEFAULT;
    size = sizeof ansi;
    if (key.Query(TOLVANE_ANSI, ansi, &size) != ERROR_SUCCESS) strcpy(ansi, TOLVANE_ANSI_DEFAULT);
    m_ansi = ansi[0] == '0' ? 0 : 1;
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
    CRegistryKey key;
    if (!key.Create(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY)) return;

    // The name and its terminator in a zeroed 100-byte block, cut to 99 characters.
    char name[kStoredColumnSize] = {};
    strncpy(name, m_columnName, kStoredColumnSize - 1);
    key.Set(TOLVANE_COLUMN_NAME, REG_SZ, name, sizeof name);

    DWORD width = m_contextWidth;
    key.Set(TOLVANE_CONTEXT_WIDTH, REG_DWORD, &width, sizeof width);

    char ansi[2] = {m_ansi ? '1' : '0', '\0'};
    key.Set(TOLVANE_ANSI, REG_SZ, ansi, sizeof ansi);
}

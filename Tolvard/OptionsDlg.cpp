// The options dialog (OptionsDlg.h): reading the three settings, exchanging them with
// the controls, and storing them on OK.
#include "OptionsDlg.h"

#include "Contract.h"
#include "RegistryKey.h"
#include "RegistrySettings.h"
#include "resource-dialogs.h"

COptionsDialog::COptionsDialog(CWnd* pParent)
    : CDialog(IDD_OPTIONS, pParent), m_contextWidth(0), m_ansi(0) {
    ReadSettings();
}

void COptionsDialog::ReadSettings() {
    // As designed: the key is created when missing, although only read here.
    CRegistryKey key;
    key.Create(HKEY_CURRENT_USER, TOLVANE_SETTINGS_KEY);

    // Each value as the column, the menu and the store read it, its default where none
    // is stored: OK without an edit stores what they use already.
    char name[kColumnNameSize];
    ReadColumnName(key.Handle(), name);
    m_columnName = name;
    DWORD width = 0;
    ReadContextWidth(key.Handle(), &width);
    m_contextWidth = width;
    bool ansi = true;
    ReadAnsi(key.Handle(), &ansi);
    m_ansi = ansi ? 1 : 0;
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
    WriteColumnName(key.Handle(), m_columnName);
    WriteContextWidth(key.Handle(), m_contextWidth);
    WriteAnsi(key.Handle(), m_ansi != 0);
}

// The options dialog (dialog 133): the column title, the width of the context-menu
// entry and the character set of the description files, as Tolvane reads them from
// TOLVANE_SETTINGS_KEY of Contract.h.
#pragma once

#include "afx/afxwin.h"

class COptionsDialog : public CDialog {
public:
    // Reads the current settings.
    explicit COptionsDialog(CWnd* pParent = nullptr);

    void OnOK() override;   // on a good exchange, stores all three settings

    UINT m_contextWidth;
    int m_ansi;
    CString m_columnName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void ReadSettings();
    void StoreSettings();
};

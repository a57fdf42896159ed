#include "panel/AboutDlg.h"

#include "core/LiveCommands.h"
#include "core/Unicode.h"
#include "res/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ::SetDlgItemTextW(m_hWnd, IDC_ABOUT_KEYS, Utf8ToWide(LiveKeysText()).c_str());
    return TRUE;
}

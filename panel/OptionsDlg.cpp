#include "panel/OptionsDlg.h"

#include <commdlg.h>

#include <string>

#include "framework/Report.h"
#include "framework/WinApp.h"
#include "panel/Options.h"
#include "res/resource.h"

COptionsDlg::COptionsDlg(HWND hOwner, const COptionValues& values, const std::wstring& file)
    : CDialog(IDD_OPTIONS, hOwner), m_values(values), m_strFile(file)
{
}

BOOL COptionsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ::CheckDlgButton(m_hWnd, IDC_OPT_LIVE, m_values.bLiveSeeThrough ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_OPT_OUTLINE, m_values.bOutline ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_OPT_TAGS, m_values.bFormattingTags ? BST_CHECKED : BST_UNCHECKED);
    const CWnd width = GetDlgItem(IDC_OPT_WIDTH);
    for (int n = COptionValues::kMinOutlineWidth; n <= COptionValues::kMaxOutlineWidth; ++n)
        width.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(n).c_str()));
    width.SendMessage(CB_SETCURSEL, static_cast<WPARAM>(m_values.nOutlineWidth - COptionValues::kMinOutlineWidth));
    ShowColor();
    EnableOutlineControls();
    return TRUE;
}

void COptionsDlg::ShowColor()
{
    ::SetDlgItemTextA(m_hWnd, IDC_OPT_SWATCH, FormatColorRef(m_values.crOutline).c_str());
}

void COptionsDlg::EnableOutlineControls()
{
    const bool bOutline = ::IsDlgButtonChecked(m_hWnd, IDC_OPT_OUTLINE) == BST_CHECKED;
    GetDlgItem(IDC_OPT_WIDTH).EnableWindow(bOutline);
    GetDlgItem(IDC_OPT_COLOR).EnableWindow(bOutline);
}

bool COptionsDlg::OnCommand(UINT nID, UINT nCode, HWND)
{
    if (nCode != BN_CLICKED)
        return false;
    if (nID == IDC_OPT_OUTLINE) {
        EnableOutlineControls();
        return true;
    }
    if (nID != IDC_OPT_COLOR)
        return false;
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = m_hWnd;
    cc.rgbResult = m_values.crOutline;
    cc.lpCustColors = m_crCustom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (::ChooseColorA(&cc)) {
        m_values.crOutline = cc.rgbResult & 0xFFFFFF;
        ShowColor();
    }
    return true;
}

void COptionsDlg::OnOK()
{
    m_values.bLiveSeeThrough = ::IsDlgButtonChecked(m_hWnd, IDC_OPT_LIVE) == BST_CHECKED;
    m_values.bOutline = ::IsDlgButtonChecked(m_hWnd, IDC_OPT_OUTLINE) == BST_CHECKED;
    m_values.bFormattingTags = ::IsDlgButtonChecked(m_hWnd, IDC_OPT_TAGS) == BST_CHECKED;
    const LRESULT sel = GetDlgItem(IDC_OPT_WIDTH).SendMessage(CB_GETCURSEL);
    if (sel >= 0)
        m_values.nOutlineWidth = COptionValues::kMinOutlineWidth + static_cast<int>(sel);
    if (!SaveOptions(m_strFile, m_values))
        ReportMessage(m_hWnd, AfxLoadString(IDS_OPTIONS_NOT_SAVED), MB_OK | MB_ICONEXCLAMATION);
    EndDialog(IDOK);
}

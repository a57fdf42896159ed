#include "framework/CommonDialogs.h"

#include <cstring>

#include "core/Unicode.h"
#include "framework/WinApp.h"

std::string ConvertFilterString(const char* lpszFilter)
{
    std::string filter = lpszFilter ? lpszFilter : "";
    for (char& c : filter) {
        if (c == '|')
            c = '\0';
    }
    // The platform's list ends with two NULs; std::string adds one more of its own.
    if (filter.empty() || filter.back() != '\0')
        filter += '\0';
    return filter;
}

CFileDialog::CFileDialog(bool bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, HWND hParent)
    : m_bOpenFileDialog(bOpenFileDialog)
{
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = hParent ? hParent : AfxGetMainWndHandle();
    m_ofn.hInstance = AfxGetInstanceHandle();
    m_ofn.Flags = dwFlags;
    if (lpszDefExt) {
        m_strDefExt = Utf8ToWide(lpszDefExt);
        m_ofn.lpstrDefExt = m_strDefExt.c_str();
    }
    if (lpszFileName)
        Utf8ToWide(lpszFileName).copy(m_szFileName, MAX_PATH * 4 - 1);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH * 4;
    if (lpszFilter) {
        m_strFilter = Utf8ToWide(ConvertFilterString(lpszFilter));
        m_ofn.lpstrFilter = m_strFilter.c_str();
        m_ofn.nFilterIndex = 1;
    }
}

INT_PTR CFileDialog::DoModal()
{
    // Pointers into our own members: refresh them in case the object was copied around.
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH * 4;
    const BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetPathName() const
{
    return WideToUtf8(m_szFileName);
}

CFontDialog::CFontDialog(LOGFONTA* lplfInitial, DWORD dwFlags, HDC hdcPrinter, HWND hParent)
{
    m_cf.lStructSize = sizeof m_cf;
    m_cf.hwndOwner = hParent ? hParent : AfxGetMainWndHandle();
    m_cf.hDC = hdcPrinter;
    m_cf.lpLogFont = lplfInitial ? lplfInitial : &m_lf;
    m_cf.Flags = dwFlags | (lplfInitial ? CF_INITTOLOGFONTSTRUCT : 0);
    m_cf.rgbColors = 0;
}

INT_PTR CFontDialog::DoModal()
{
    return ::ChooseFontA(&m_cf) ? IDOK : IDCANCEL;
}

#pragma once
// The platform's open-file and font choosers.

#include <windows.h>
#include <commdlg.h>

#include <string>

class CFileDialog {
public:
    // lpszFilter: "Name|pattern|Name|pattern||" pairs; the first is selected.
    // A null parent means the application's main window. Strings are UTF-8;
    // the chooser is the wide one, so any file name can be chosen.
    CFileDialog(bool bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                HWND hParent = nullptr);
    INT_PTR DoModal();  // IDOK or IDCANCEL
    std::string GetPathName() const;  // UTF-8

    OPENFILENAMEW m_ofn{};

private:
    bool m_bOpenFileDialog;
    std::wstring m_strFilter;  // NUL-separated, as the platform wants it
    std::wstring m_strDefExt;
    wchar_t m_szFileName[MAX_PATH * 4] = {};
};

// "A|B|C|D||" -> "A\0B\0C\0D\0\0".
std::string ConvertFilterString(const char* lpszFilter);

class CFontDialog {
public:
    // On IDOK the chooser has written the chosen font into *lplfInitial and the
    // colour into m_cf.rgbColors. A null parent means the main window.
    CFontDialog(LOGFONTA* lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                HDC hdcPrinter = nullptr, HWND hParent = nullptr);
    INT_PTR DoModal();  // IDOK or IDCANCEL

    CHOOSEFONTA m_cf{};

private:
    LOGFONTA m_lf{};  // used when no initial description is given
};

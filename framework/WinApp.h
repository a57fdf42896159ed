#pragma once
// The application object and the process entry. There is one CWinApp-derived
// global object; the entry cuts the command-line tail, reads the show state and
// runs AfxWinMain, which calls InitInstance and then ExitInstance: the
// application runs inside InitInstance (its main window is a modal dialog with
// its own loop), so there is no message loop of the application's own.

#include <windows.h>

#include <string>

#include "framework/Wnd.h"

class CWinApp {
public:
    // A null name means the default application name ("Kelvane").
    explicit CWinApp(const char* lpszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();  // returns the process exit status

    void BeginWaitCursor();
    void EndWaitCursor();

    const char* m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    const char* m_lpCmdLine = "";
    int m_nCmdShow = SW_SHOWDEFAULT;
    CWnd* m_pMainWnd = nullptr;

private:
    int m_nWaitCursorCount = 0;
    HCURSOR m_hcurWaitRestore = nullptr;
};

CWinApp* AfxGetApp();
// The module holding our resources (the executable).
HINSTANCE AfxGetInstanceHandle();
// The main window's handle, or null.
HWND AfxGetMainWndHandle();
// The application's name for message box titles.
const char* AfxGetAppName();

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// The process entry's work: tail of GetCommandLineA(), show state from the
// start-up record (STARTF_USESHOWWINDOW, else SW_SHOWDEFAULT), AfxWinMain.
int AfxProcessEntry();

// Resources of our module.
std::string AfxLoadString(UINT nID);  // UTF-8; empty when missing
HICON AfxLoadIcon(UINT nID);

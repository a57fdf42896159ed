#include "framework/WinApp.h"

#include "core/CommandLine.h"
#include "core/Unicode.h"

namespace {
CWinApp* g_pApp = nullptr;
const char* const kDefaultAppName = "Kelvane";
}  // namespace

CWinApp::CWinApp(const char* lpszAppName) : m_pszAppName(lpszAppName ? lpszAppName : kDefaultAppName)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

void CWinApp::BeginWaitCursor()
{
    HCURSOR hPrevious = ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514) /* IDC_WAIT */));
    if (m_nWaitCursorCount++ == 0)
        m_hcurWaitRestore = hPrevious;
}

void CWinApp::EndWaitCursor()
{
    if (m_nWaitCursorCount == 0)
        return;
    if (--m_nWaitCursorCount == 0) {
        ::SetCursor(m_hcurWaitRestore ? m_hcurWaitRestore
                                      : ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */));
        m_hcurWaitRestore = nullptr;
    }
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_pApp && g_pApp->m_hInstance)
        return g_pApp->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

HWND AfxGetMainWndHandle()
{
    return g_pApp && g_pApp->m_pMainWnd ? g_pApp->m_pMainWnd->m_hWnd : nullptr;
}

const char* AfxGetAppName()
{
    return g_pApp ? g_pApp->m_pszAppName : kDefaultAppName;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine ? lpCmdLine : "";
    pApp->m_nCmdShow = nCmdShow;
    pApp->InitInstance();
    return pApp->ExitInstance();
}

int AfxProcessEntry()
{
    const char* tail = CutCommandTail(::GetCommandLineA());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    const int nCmdShow = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    return AfxWinMain(::GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(tail), nCmdShow);
}

std::string AfxLoadString(UINT nID)
{
    // The resource itself, read in place: no buffer to outgrow.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(AfxGetInstanceHandle(), nID, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? WideToUtf8(std::wstring(text, static_cast<size_t>(length))) : std::string();
}

HICON AfxLoadIcon(UINT nID)
{
    return ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nID));
}

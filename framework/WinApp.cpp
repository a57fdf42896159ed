#include "framework/WinApp.h"

#include <vector>

#include "core/CommandLine.h"

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
    // Grows the buffer until the whole string fits.
    std::vector<char> buffer(256);
    for (;;) {
        const int length = ::LoadStringA(AfxGetInstanceHandle(), nID, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0)
            return {};
        if (static_cast<size_t>(length) < buffer.size() - 1)
            return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

HICON AfxLoadIcon(UINT nID)
{
    return ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nID));
}

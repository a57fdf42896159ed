#include "app/MainApp.h"

#include <commctrl.h>

#include "core/CommandLine.h"
#include "overlay/SubtitleWnd.h"
#include "panel/ControlDlg.h"
#include "panel/FileArgument.h"

CMainApp theApp;

CMainApp::CMainApp() : CWinApp(nullptr) {}

BOOL CMainApp::InitInstance()
{
    // The manifest asks for common controls 6 (the desktop's visual styles),
    // which are registered here.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);

    // The panel opens "Kelvane.DAT" as it is constructed, before the batch
    // flag is set and long before its OnInitDialog reads that flag; in the
    // program's folder when started with a file argument (see SettingsFolder).
    // The panel makes its overlays through this; the two know each other only
    // through the interfaces they meet at.
    CControlDlg dlg([](IOverlayHost& host, const COverlayStart& start) -> IOverlay* {
        return CSubtitleWnd::Open(host, start);
    }, SettingsFolder(::GetCommandLineW()));
    m_pMainWnd = &dlg;
    dlg.m_bBatch = IsBatchModeTail(m_lpCmdLine) ? TRUE : FALSE;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        return AfxProcessEntry();
    } catch (...) {
        return -1;  // nothing is left to report to: the panel is gone
    }
}

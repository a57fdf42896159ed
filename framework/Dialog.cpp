#include "framework/Dialog.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "core/Archive.h"
#include "framework/DataExchange.h"
#include "framework/Report.h"
#include "framework/WinApp.h"

// One message being handled by a dialog object. Frames nest when a handler
// causes further messages; the object's teardown marks them all, so nothing
// touches a deleted object on the way out.
struct CDialog::MessageFrame {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT lResult;
    MessageFrame* pOuter;
    bool bObjectGone;
};

namespace {

// Live dialog windows of this layer, for the modal loop's IsDialogMessage.
std::vector<HWND>& OwnDialogs()
{
    static std::vector<HWND> dialogs;
    return dialogs;
}

// The style word and the position of a dialog template resource (plain or extended).
struct TemplateHeader {
    DWORD style = 0;
    bool atOrigin = false;  // the template stands at (0, 0)
};

TemplateHeader ReadTemplateHeader(HINSTANCE hInst, UINT nIDTemplate)
{
    TemplateHeader header;
    HRSRC hRes = ::FindResourceW(hInst, MAKEINTRESOURCEW(nIDTemplate), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    const DWORD size = hRes ? ::SizeofResource(hInst, hRes) : 0;
    HGLOBAL hGlobal = size >= 14 ? ::LoadResource(hInst, hRes) : nullptr;
    const auto* words = static_cast<const WORD*>(hGlobal ? ::LockResource(hGlobal) : nullptr);
    if (!words)
        return header;
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    if (extended && size < 22)
        return header;
    // DLGTEMPLATE: style, exStyle, count, x, y. DLGTEMPLATEEX: version, signature,
    // helpID, exStyle, style, count, x, y.
    const WORD* style = extended ? words + 6 : words;
    const WORD* position = extended ? words + 9 : words + 5;
    header.style = static_cast<DWORD>(style[0]) | (static_cast<DWORD>(style[1]) << 16);
    header.atOrigin = position[0] == 0 && position[1] == 0;
    return header;
}

// Centres a new dialog over its owner when it has a visible one, else on the
// primary monitor's work area, and keeps it inside that monitor's work area.
void CentreDialog(HWND hWnd)
{
    const HWND hOwner = ::GetWindow(hWnd, GW_OWNER);
    const bool overOwner = hOwner && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner);
    const RECT rcWork =
        MonitorWorkArea(overOwner ? ::MonitorFromWindow(hOwner, MONITOR_DEFAULTTONEAREST) : nullptr);
    RECT rcOver = rcWork;
    if (overOwner)
        ::GetWindowRect(hOwner, &rcOver);
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    int x = rcOver.left + (rcOver.right - rcOver.left - cx) / 2;
    int y = rcOver.top + (rcOver.bottom - rcOver.top - cy) / 2;
    // Inside the work area; a dialog larger than it keeps its top-left corner there.
    x = std::max<int>(rcWork.left, std::min<int>(x, rcWork.right - cx));
    y = std::max<int>(rcWork.top, std::min<int>(y, rcWork.bottom - cy));
    ::SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Reports an exception that reached a dialog procedure.
void ReportCaught(HWND hWnd, const CArchiveException* pException)
{
    if (pException && pException->m_cause == CArchiveException::writeFailed)
        ReportMessage(hWnd, kSettingsWriteFailedText, MB_OK | MB_ICONEXCLAMATION);
    else
        ReportMessage(hWnd, kSettingsReadFailedText, MB_OK | MB_ICONEXCLAMATION);
}

void ReportUnexpected(HWND hWnd)
{
    ReportMessage(hWnd, "An unexpected error occurred. Kelvane goes on running, but the last action may not "
                        "have been completed.",
                  MB_OK | MB_ICONSTOP);
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, HWND hParent) : m_nIDTemplate(nIDTemplate), m_hParent(hParent) {}

CDialog::~CDialog()
{
    // A dialog object destroyed while its window lives: detach it first, so no
    // further message reaches a dead object.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        HWND hWnd = m_hWnd;
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        auto& dialogs = OwnDialogs();
        dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), hWnd), dialogs.end());
        for (MessageFrame* frame = m_pFrame; frame; frame = frame->pOuter)
            frame->bObjectGone = true;
        m_hWnd = nullptr;
        ::DestroyWindow(hWnd);
    }
}

bool CDialog::IsOwnDialog(HWND hWnd)
{
    const auto& dialogs = OwnDialogs();
    return hWnd && std::find(dialogs.begin(), dialogs.end(), hWnd) != dialogs.end();
}

HWND CDialog::CreateFromTemplate(UINT nIDTemplate, HWND hParent)
{
    m_nIDTemplate = nIDTemplate;
    // A wide dialog: its controls keep every character typed or set, whatever the code page.
    return ::CreateDialogParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(nIDTemplate), hParent, DialogProc,
                                reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(UINT nIDTemplate, HWND hParent)
{
    m_bModal = false;
    return CreateFromTemplate(nIDTemplate, hParent) != nullptr;
}

INT_PTR CDialog::DoModal()
{
    HWND hParent = m_hParent;
    if (!hParent && AfxGetApp() && AfxGetApp()->m_pMainWnd != this)
        hParent = AfxGetMainWndHandle();
    if (hParent)
        hParent = ::GetAncestor(hParent, GA_ROOT);

    m_bModal = true;
    m_bEndModal = false;
    m_nModalResult = -1;
    HWND hWnd = CreateFromTemplate(m_nIDTemplate, hParent);
    if (!hWnd) {
        m_bModal = false;
        return -1;
    }
    bool bParentDisabled = false;
    if (hParent && ::IsWindowEnabled(hParent)) {
        ::EnableWindow(hParent, FALSE);
        bParentDisabled = true;
    }
    if (!m_bEndModal && ::IsWindow(hWnd) && !::IsWindowVisible(hWnd))
        ::ShowWindow(hWnd, SW_SHOWNORMAL);

    RunModalLoop();

    if (bParentDisabled)
        ::EnableWindow(hParent, TRUE);
    if (::IsWindow(hWnd)) {
        if (hParent && ::GetActiveWindow() == hWnd)
            ::SetActiveWindow(hParent);
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        ::DestroyWindow(hWnd);
    }
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    HWND hWnd = m_hWnd;
    MSG msg;
    while (!m_bEndModal && ::IsWindow(hWnd)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for outer loops
            break;
        }
        if (got == -1)
            break;
        // Wide throughout, so a character typed outside the ANSI code page
        // reaches its control intact. Keyboard navigation (Tab, Enter, Escape)
        // for whichever of our dialogs the message belongs to: the panel, the
        // About box, the overlay.
        HWND hRoot = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (IsOwnDialog(hRoot) && ::IsDialogMessageW(hRoot, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void CDialog::EndDialog(int nResult)
{
    if (m_bModal) {
        m_nModalResult = nResult;
        m_bEndModal = true;
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wake the loop
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, nResult);  // modeless: hides the window
    }
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const DataExchangeFailure&) {
        return false;
    }
    return true;
}

LRESULT CDialog::Default()
{
    if (!m_pFrame || !m_hWnd)
        return 0;
    MessageFrame& frame = *m_pFrame;
    const bool bWasInDefault = m_bInDefault;
    const UINT nWasDefaultMsg = m_nDefaultMsg;
    m_bInDefault = true;
    m_nDefaultMsg = frame.msg;
    // DefDlgProc first asks our dialog procedure, which answers "not handled"
    // for this one nested call (see DialogProc), then does the default work.
    const LRESULT lResult = ::DefDlgProcW(m_hWnd, frame.msg, frame.wParam, frame.lParam);
    if (!frame.bObjectGone) {
        m_bInDefault = bWasInDefault;
        m_nDefaultMsg = nWasDefaultMsg;
    }
    return lResult;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK()
{
    if (m_bModal && !UpdateData(true))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::PostNcDestroy() {}

bool CDialog::OnCommand(UINT, UINT, HWND) { return false; }
bool CDialog::OnSysCommand(UINT, LPARAM) { return false; }
bool CDialog::OnPaint() { return false; }
bool CDialog::OnEraseBkgnd(HDC) { return false; }
bool CDialog::OnTimer(UINT_PTR) { return false; }
bool CDialog::OnClose() { return false; }
bool CDialog::OnLButtonDblClk(UINT, POINT) { return false; }
bool CDialog::OnWindowPosChanged(WINDOWPOS*) { return false; }
HICON CDialog::OnQueryDragIcon() { return nullptr; }
bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, MessageFrame& frame)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND: {
        const UINT nID = LOWORD(wParam);
        const UINT nCode = HIWORD(wParam);
        if (OnCommand(nID, nCode, reinterpret_cast<HWND>(lParam)))
            return TRUE;
        if (nCode == BN_CLICKED && (nID == IDOK || nID == IDCANCEL)) {
            if (nID == IDOK)
                OnOK();
            else
                OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<UINT>(wParam), lParam);
    case WM_PAINT:
        return OnPaint();
    case WM_ERASEBKGND:
        if (!OnEraseBkgnd(reinterpret_cast<HDC>(wParam)))
            return FALSE;
        frame.lResult = TRUE;
        return TRUE;
    case WM_TIMER:
        return OnTimer(static_cast<UINT_PTR>(wParam));
    case WM_CLOSE:
        return OnClose();
    case WM_LBUTTONDBLCLK: {
        const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        return OnLButtonDblClk(static_cast<UINT>(wParam), point);
    }
    case WM_WINDOWPOSCHANGED:
        return OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
    case WM_QUERYDRAGICON:
        // One of the messages whose dialog-procedure result is the value itself.
        return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
    default: {
        LRESULT lResult = 0;
        if (!OnMessage(msg, wParam, lParam, lResult))
            return FALSE;
        frame.lResult = lResult;
        return TRUE;
    }
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CDialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        self->m_hWnd = hWnd;
        // The platform makes a DS_SYSMODAL dialog topmost on Windows but not
        // everywhere: give it the topmost style here, before any handler of
        // the object can see the resulting window-position messages.
        const TemplateHeader header = ReadTemplateHeader(AfxGetInstanceHandle(), self->m_nIDTemplate);
        if (header.style & DS_SYSMODAL) {
            ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        // A template at (0, 0) without a centring style of its own opens
        // centred, not in the corner of the screen or of its owner.
        if (header.atOrigin && !(header.style & (DS_CENTER | DS_CENTERMOUSE | WS_CHILD)))
            CentreDialog(hWnd);
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        OwnDialogs().push_back(hWnd);
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    }
    if (!self)
        return FALSE;

    if (msg == WM_NCDESTROY) {
        // Detach the object from the window, then make the last call for it.
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        auto& dialogs = OwnDialogs();
        dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), hWnd), dialogs.end());
        for (MessageFrame* frame = self->m_pFrame; frame; frame = frame->pOuter)
            frame->bObjectGone = true;
        self->m_hWnd = nullptr;
        self->m_pFrame = nullptr;
        try {
            self->PostNcDestroy();
        } catch (const CArchiveException& e) {
            ReportCaught(nullptr, &e);
        } catch (...) {
            ReportUnexpected(nullptr);
        }
        return FALSE;
    }

    // The nested call that Default() causes through DefDlgProc: not handled here.
    if (self->m_bInDefault && self->m_nDefaultMsg == msg) {
        self->m_bInDefault = false;
        return FALSE;
    }

    MessageFrame frame{msg, wParam, lParam, 0, self->m_pFrame, false};
    self->m_pFrame = &frame;
    INT_PTR result = FALSE;
    try {
        result = self->Dispatch(msg, wParam, lParam, frame);
    } catch (const CArchiveException& e) {
        ReportCaught(hWnd, &e);
        result = (msg == WM_INITDIALOG) ? TRUE : FALSE;
    } catch (const DataExchangeFailure&) {
        result = TRUE;  // already reported to the user
    } catch (...) {
        ReportUnexpected(hWnd);
        result = (msg == WM_INITDIALOG) ? TRUE : FALSE;
    }
    if (frame.bObjectGone)
        return result;  // the object is gone: touch nothing of it
    self->m_pFrame = frame.pOuter;

    switch (msg) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return result;
    default:
        if (result)
            ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, frame.lResult);
        return result;
    }
}

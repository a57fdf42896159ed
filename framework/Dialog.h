#pragma once
// CDialog: a dialog built from a template in our module, modal (DoModal) or
// modeless (Create). One static dialog procedure stores `this` in the window's
// GWLP_USERDATA at WM_INITDIALOG and dispatches by one switch to the narrow
// virtual On... handlers below; each returns whether it handled the message,
// and an unhandled message gets the dialog's default processing.
//
// No exception leaves the dialog procedure: a CArchiveException raised by a
// handler is reported as a settings file that could not be read, any other as
// a short generic message; the window goes on working.
//
// A modeless dialog may `delete this` in PostNcDestroy: it is the last call
// made for the window, after the object was detached from it.

#include <windows.h>

#include "framework/Wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    // hParent: the owner of a modal dialog; null means the main window.
    explicit CDialog(UINT nIDTemplate, HWND hParent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Modal: creates the dialog, disables its owner, runs our own message loop
    // until EndDialog, destroys the window and returns the end code (-1 when the
    // window could not be created).
    INT_PTR DoModal();
    // Modeless: creates the window (OnInitDialog runs inside); true on success.
    // A null parent, or the desktop window, makes an unowned top-level window.
    bool Create(UINT nIDTemplate, HWND hParent = nullptr);
    // Modal: ends the loop with nResult. Modeless: hides the window.
    void EndDialog(int nResult);

    // true: read the controls into the members, validating (stops at the first
    // failing field with a message and the focus there, returns false).
    // false: show the members in the controls.
    bool UpdateData(bool bSaveAndValidate = true);

    // True when the given top-level window is a live dialog of this layer.
    static bool IsOwnDialog(HWND hWnd);

protected:
    // Default processing of the message being handled (the platform's dialog
    // default); a handler that calls it should then report the message handled.
    LRESULT Default();

    virtual void DoDataExchange(CDataExchange* pDX);
    // Base: UpdateData(false). Return TRUE to let the platform set the focus.
    virtual BOOL OnInitDialog();
    // Base: modal: UpdateData(true) then EndDialog(IDOK); modeless: EndDialog(IDOK).
    virtual void OnOK();
    // Base: EndDialog(IDCANCEL).
    virtual void OnCancel();
    // Called for the window's WM_NCDESTROY, as the very last call for it.
    virtual void PostNcDestroy();

    // Handlers: return true when handled (no default processing then).
    // WM_COMMAND: tried first; IDOK/IDCANCEL go to OnOK/OnCancel when not handled.
    virtual bool OnCommand(UINT nID, UINT nCode, HWND hCtl);
    virtual bool OnSysCommand(UINT nID, LPARAM lParam);
    virtual bool OnPaint();
    // Handled means the background counts as erased.
    virtual bool OnEraseBkgnd(HDC hDC);
    virtual bool OnTimer(UINT_PTR nIDEvent);
    virtual bool OnClose();
    virtual bool OnLButtonDblClk(UINT nFlags, POINT point);
    virtual bool OnWindowPosChanged(WINDOWPOS* pWndPos);
    // Icon shown while the minimised window is dragged; null for the default.
    virtual HICON OnQueryDragIcon();
    // Any other message; set lResult and return true when handled.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

    UINT m_nIDTemplate;
    HWND m_hParent;

private:
    struct MessageFrame;
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, MessageFrame& frame);
    HWND CreateFromTemplate(UINT nIDTemplate, HWND hParent);
    void RunModalLoop();

    bool m_bModal = false;
    bool m_bEndModal = false;
    int m_nModalResult = -1;
    MessageFrame* m_pFrame = nullptr;  // innermost message being handled
    UINT m_nDefaultMsg = 0;            // message handed to the platform's default
    bool m_bInDefault = false;
};

#pragma once
// CControlDlg: the control panel, the program's modal main dialog. It holds the
// settings record (CSettingsRecord) and, from construction to Exit, the open
// "Kelvane.DAT" with a load and a store archive on it.

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "core/Archive.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/File.h"
#include "framework/Gdi.h"
#include "core/SettingsRecord.h"
#include "panel/StartOnClick.h"

class CSubtitleWnd;

// The record's portable font and rectangle have the platform's layouts.
static_assert(sizeof(KLogFont) == sizeof(LOGFONTA), "KLogFont matches LOGFONTA");
static_assert(offsetof(KLogFont, lfWeight) == offsetof(LOGFONTA, lfWeight), "KLogFont matches LOGFONTA");
static_assert(offsetof(KLogFont, lfItalic) == offsetof(LOGFONTA, lfItalic), "KLogFont matches LOGFONTA");
static_assert(offsetof(KLogFont, lfPitchAndFamily) == offsetof(LOGFONTA, lfPitchAndFamily),
              "KLogFont matches LOGFONTA");
static_assert(offsetof(KLogFont, lfFaceName) == offsetof(LOGFONTA, lfFaceName), "KLogFont matches LOGFONTA");
static_assert(sizeof(KRect) == sizeof(RECT), "KRect matches RECT");
static_assert(offsetof(KRect, bottom) == offsetof(RECT, bottom), "KRect matches RECT");

inline LOGFONTA ToLogFontA(const KLogFont& lf)
{
    LOGFONTA out;
    std::memcpy(&out, &lf, sizeof out);
    return out;
}
inline KLogFont FromLogFontA(const LOGFONTA& lf)
{
    KLogFont out;
    std::memcpy(&out, &lf, sizeof out);
    return out;
}
inline RECT ToRect(const KRect& rc)
{
    return RECT{rc.left, rc.top, rc.right, rc.bottom};
}
inline KRect FromRect(const RECT& rc)
{
    return KRect{rc.left, rc.top, rc.right, rc.bottom};
}

class CControlDlg : public CDialog, public CSettingsRecord {
public:
    // Opens (or creates) "Kelvane.DAT" in the current directory.
    explicit CControlDlg(CWnd* pParent = nullptr);
    ~CControlDlg() override;

    // Stores or loads the record; after a load, rebuilds m_font from m_lfFont
    // and hands it to the panel window.
    virtual void Serialize(CArchive& ar);
    // Fills pLogFont with the panel window's current font (else the system font).
    void GetDialogFont(LOGFONTA* pLogFont);
    // Called by the overlay as it closes: forget it and enable "Start" again.
    void OnOverlayClosed();
    // A file named on the command line or dropped on the panel: into m_strFile
    // and the file field. An empty path changes nothing.
    void TakeFile(const std::string& path);
    // Adds ms to the delay (saturating) and shows it in the field at once; returns the new delay.
    int32_t AddToDelay(int32_t ms);
    // Opens the options dialog, owned by pOwner (null: the panel); what is
    // chosen applies to an open overlay at once.
    void OnOptions(CWnd* pOwner = nullptr);

    // Where the minimised panel draws its icon (truncating, centred).
    static POINT IconPosition(int cxClient, int cyClient, int cxIcon, int cyIcon);

    static const char* const kSettingsFileName;

    CFont m_font;                         // subtitle font object; holds none until loaded or chosen
    BOOL m_bBatch = FALSE;                // set by the application before the panel runs
    HICON m_hIcon = nullptr;
    CSubtitleWnd* m_pOverlay = nullptr;   // live overlay, not owned
    BOOL m_bHaveSettings = FALSE;         // the file existed and could be read at construction
    BOOL m_bCanSave = FALSE;              // the read-write open succeeded
    DWORD m_nSaveOpenError = 0;           // why it failed, when it did
    CFile* m_pFile = nullptr;             // owned until Exit
    CArchive* m_pLoadArchive = nullptr;   // owned until Exit
    CArchive* m_pStoreArchive = nullptr;  // owned until Exit; null when the file cannot be written
    CStartOnClick m_startOnClick;         // armed: the next mouse press starts playback

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;      // Start
    void OnCancel() override;  // Exit: save, release the file, end the panel
    bool OnCommand(UINT nID, UINT nCode, HWND hCtl) override;
    bool OnSysCommand(UINT nID, LPARAM lParam) override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

    void OnBrowse();
    void OnFont();

private:
    void OpenSettingsFile();
    // Exit's exchange: every field is taken, a failing one as far as it can be.
    void TakeEveryField();
    // Why the settings will not be saved this time, in the user's words.
    std::string NotWritableText() const;
    // Deletes the store archive, the load archive and the file, in this order.
    void ReleaseSettingsFile();
    // "Start on next click": arms (validated as Start) or disarms.
    void ToggleStartOnClick();
    void DisarmStartOnClick();

    std::wstring m_strCaption;  // the caption to put back when disarmed
};

#pragma once
// CControlDlg: the control panel, the program's modal main dialog. It holds the
// settings record (CSettingsRecord) and, from construction to Exit, the open
// "Kelvane.DAT" with a load and a store archive on it.

#include <windows.h>

#include <string>

#include "core/Archive.h"
#include "core/OverlayLink.h"
#include "core/SettingsRecord.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/File.h"
#include "framework/Gdi.h"
#include "framework/WinTypes.h"
#include "panel/StartOnClick.h"

class CControlDlg : public CDialog, public CSettingsRecord, public IOverlayHost {
public:
    // Opens (or creates) "Kelvane.DAT" in strSettingsFolder (UTF-8; empty: the
    // current directory), where Kelvane.ini is kept too. Start makes its
    // overlay through createOverlay (none: Start makes none).
    explicit CControlDlg(OverlayFactory createOverlay = nullptr, const std::string& strSettingsFolder = {});
    ~CControlDlg() override;

    // Stores or loads the record; after a load, rebuilds m_font from m_lfFont
    // and hands it to the panel window.
    virtual void Serialize(CArchive& ar);
    // Fills pLogFont with the panel window's current font (else the system font).
    void GetDialogFont(LOGFONTA* pLogFont);
    // A file named on the command line or dropped on the panel: into m_strFile
    // and the file field. An empty path changes nothing.
    void TakeFile(const std::string& path);
    // Opens the options dialog, owned by hOwner (null: the panel); what is
    // chosen applies to an open overlay at once.
    void OnOptions(HWND hOwner = nullptr);

    // IOverlayHost: what the overlay asks of the panel and tells it.
    const KLogFont& SubtitleFont() const override { return m_lfFont; }
    uint32_t TextColor() const override { return m_crText; }
    void OnOverlayMoved(const KRect& rc) override { m_rcOverlay = rc; }
    // The delay a live command set: into m_nDelay and the field at once, so
    // that Exit saves it.
    void OnDelayChanged(int32_t nDelay) override;
    void OnRateChanged(double dRate) override { m_dRate = dRate; }
    void OnOptionsWanted(void* hOwner) override { OnOptions(static_cast<HWND>(hOwner)); }
    // The overlay closes: forget it and enable "Start" again.
    void OnOverlayClosed() override;

    // Where the minimised panel draws its icon (truncating, centred).
    static POINT IconPosition(int cxClient, int cyClient, int cxIcon, int cyIcon);

    static const char* const kSettingsFileName;

    CFont m_font;                         // subtitle font object; holds none until loaded or chosen
    BOOL m_bBatch = FALSE;                // set by the application before the panel runs
    HICON m_hIcon = nullptr;
    IOverlay* m_pOverlay = nullptr;       // live overlay, not owned
    COptionValues m_options;              // the options in use, from Kelvane.ini
    CPlayerConfig m_player;               // the film player followed, from Kelvane.ini
    double m_dRate = 1;                   // the rate preset chosen, kept until Kelvane ends
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
    void OnOK() override;      // Start, now (disarms a start on the next click)
    // Exit, the close box, Alt+F4: disarm, save, release the file, end the
    // panel. Escape while armed only disarms.
    void OnCancel() override;
    bool OnCommand(UINT nID, UINT nCode, HWND hCtl) override;
    bool OnSysCommand(UINT nID, LPARAM lParam) override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

    void OnBrowse();
    void OnFont();

private:
    // Start: the film stands at the From fields at steady time pressInstant.
    void Start(double pressInstant);
    void OpenSettingsFile();
    // Exit's exchange: every field is taken, a failing one as far as it can be.
    void TakeEveryField();
    // Why the settings will not be saved this time, in the user's words.
    std::string NotWritableText() const;
    // Deletes the store archive, the load archive and the file, in this order.
    void ReleaseSettingsFile();
    // "Start on next click": arms (validated as Start) or disarms; refused
    // while an overlay plays.
    void ToggleStartOnClick();
    void DisarmStartOnClick();

    std::wstring m_strCaption;  // the caption to put back when disarmed
    OverlayFactory m_createOverlay;
    std::string m_strSettingsFile;  // Kelvane.DAT, UTF-8, fixed at construction
    std::wstring m_strOptionsFile;  // Kelvane.ini beside it
};

#include "panel/ControlDlg.h"

#include <algorithm>
#include <utility>

#include "core/TimeMs.h"
#include "core/Unicode.h"
#include "core/WallFilmClock.h"
#include "framework/CommonDialogs.h"
#include "framework/Report.h"
#include "framework/WinApp.h"
#include "panel/AboutDlg.h"
#include "panel/FileArgument.h"
#include "panel/Options.h"
#include "panel/OptionsDlg.h"
#include "res/resource.h"

const char* const CControlDlg::kSettingsFileName = "Kelvane.DAT";

namespace {
constexpr unsigned kArchiveBufferSize = 4096;
constexpr UINT kClickedToStart = WM_APP + 1;  // posted by the armed mouse hook
// SubRip first and chosen at first, as it always was; the other formats between it and all files.
const char* const kSubtitleFilter = "Subrip files(*.srt)|*.srt|Subtitle files (*.srt;*.vtt;*.ass;*.ssa)|*.srt;*.vtt;*.ass;"
                                    "*.ssa|WebVTT files (*.vtt)|*.vtt|ASS/SSA files (*.ass;*.ssa)|*.ass;*.ssa|"
                                    "All Files (*.*)|*.*||";
}  // namespace

CControlDlg::CControlDlg(OverlayFactory createOverlay, const std::string& strSettingsFolder)
    : CDialog(IDD_CONTROL), m_createOverlay(std::move(createOverlay)),
      m_strSettingsFile(strSettingsFolder.empty() ? kSettingsFileName : strSettingsFolder + "\\" + kSettingsFileName),
      m_strOptionsFile(OptionsFileIn(strSettingsFolder))
{
    m_hIcon = AfxLoadIcon(IDR_MAINFRAME);
    OpenSettingsFile();
}

CControlDlg::~CControlDlg()
{
    // Normally Exit has released the file already. When the panel ends without
    // Exit nothing is saved: the store archive holds no bytes, so deleting it
    // writes nothing.
    ReleaseSettingsFile();
}

void CControlDlg::OpenSettingsFile()
{
    UseAnsiCodePageForArchives();
    m_pFile = new CFile;
    // Probe: does the file exist and can it be read?
    m_bHaveSettings = m_pFile->Open(m_strSettingsFile.c_str(), CFile::modeRead);
    if (m_bHaveSettings)
        m_pFile->Close();
    // Read and write, created when missing, never truncated, no sharing.
    m_bCanSave = m_pFile->Open(m_strSettingsFile.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
    m_nSaveOpenError = m_pFile->m_nOpenError;
    if (!m_bCanSave && m_bHaveSettings) {
        // A read-only file (or folder): still show the user's settings, but
        // never write. Nothing to load when even this open fails.
        m_bHaveSettings = m_pFile->Open(m_strSettingsFile.c_str(), CFile::modeRead);
    }
    m_pLoadArchive = new CArchive(m_pFile, CArchive::load, kArchiveBufferSize);
    if (m_bCanSave)
        m_pStoreArchive = new CArchive(m_pFile, CArchive::store, kArchiveBufferSize);
}

void CControlDlg::ReleaseSettingsFile()
{
    delete m_pStoreArchive;
    m_pStoreArchive = nullptr;
    delete m_pLoadArchive;
    m_pLoadArchive = nullptr;
    delete m_pFile;
    m_pFile = nullptr;
}

void CControlDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_DELAY, m_nDelay);
    DDX_Text(pDX, IDC_FILE, m_strFile);
    DDX_Text(pDX, IDC_MILLIS, m_nMillis);
    DDV_MinMaxInt(pDX, m_nMillis, 0, 999);
    DDX_Text(pDX, IDC_MIN, m_nMin);
    DDV_MinMaxInt(pDX, m_nMin, 0, 59);
    DDX_Text(pDX, IDC_SEC, m_nSec);
    DDV_MinMaxInt(pDX, m_nSec, 0, 59);
    DDX_Text(pDX, IDC_HOUR, m_nHour);
    DDV_MinMaxInt(pDX, m_nHour, 0, 23);
}

BOOL CControlDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU hSysMenu = GetSystemMenu(false)) {
        ::AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
        for (const auto& [nID, nText] : {std::pair<UINT, UINT>{IDM_ABOUTBOX, IDS_ABOUTBOX}, {IDM_OPTIONS, IDS_OPTIONS},
                                         {IDM_START_ON_CLICK, IDS_START_ON_CLICK}}) {
            const std::string text = AfxLoadString(nText);
            if (!text.empty())
                ::AppendMenuW(hSysMenu, MF_STRING, nID, Utf8ToWide(text).c_str());
        }
    }
    m_options = LoadOptions(m_strOptionsFile);
    m_player = LoadPlayerConfig(m_strOptionsFile);

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // After a load that stopped early, as on a first run: the panel's own font.
    auto startFromPanelFont = [this] {
        LOGFONTA lf;
        GetDialogFont(&lf);
        m_lfFont = FromLogFontA(lf);
    };
    if (m_bHaveSettings && m_pLoadArchive) {
        try {
            Serialize(*m_pLoadArchive);
        } catch (const CArchiveException&) {
            // Reported; the rest of the initialisation (batch mode too) is skipped.
            startFromPanelFont();
            ReportMessage(m_hWnd, SettingsReadFailedText(m_bCanSave, NotWritableText()));
            return TRUE;
        } catch (...) {
            startFromPanelFont();
            throw;
        }
        UpdateData(false);
    } else {
        startFromPanelFont();
    }
    ::DragAcceptFiles(m_hWnd, TRUE);
    TakeFile(FileFromCommandLine(::GetCommandLineW()));  // over the loaded path

    if (m_bBatch) {
        // Batch mode: minimise the panel, then Start with the loaded record.
        WINDOWPLACEMENT wp;
        GetWindowPlacement(&wp);
        wp.showCmd = SW_MINIMIZE;
        SetWindowPlacement(&wp);
        OnOK();
    }
    // Said once, after a batch run's playback has started.
    if (!m_bCanSave)
        ReportMessage(m_hWnd, NotWritableText());
    return TRUE;
}

void CControlDlg::OnOK()
{
    // The film is at the From fields now, before anything else takes time.
    Start(SteadyNowMs());
}

void CControlDlg::Start(double pressInstant)
{
    // Start plays now: a start on the next click is no longer wanted.
    DisarmStartOnClick();
    // At most one overlay: Start while one is open only brings it forward.
    if (m_pOverlay) {
        m_pOverlay->Activate();
        return;
    }

    if (!UpdateData(true) || !m_createOverlay)
        return;

    COverlayStart start;
    start.strFile = m_strFile;
    start.dStartOffset = TimeMs(m_nHour, m_nMin, m_nSec, m_nMillis);
    start.dPressInstant = pressInstant;
    start.nDelay = m_nDelay;
    start.dRate = m_dRate;
    start.rcOverlay = m_rcOverlay;
    start.options = m_options;
    start.player = m_player;
    // No window: "Start" stays enabled and nothing is left pointing at it.
    IOverlay* pOverlay = m_createOverlay(*this, start);
    m_pOverlay = pOverlay;
    if (!pOverlay)
        return;
    GetDlgItem(IDOK).EnableWindow(false);
    if (m_bBatch)
        pOverlay->ToggleSeeThrough();
}

void CControlDlg::OnCancel()
{
    // Exit, the close box and Alt+F4 disarm and end the panel. Escape reaches
    // here as the same command; told apart by its key being down, it only
    // disarms.
    if (m_startOnClick.IsArmed()) {
        DisarmStartOnClick();
        if (::GetKeyState(VK_ESCAPE) < 0)
            return;
    }
    if (m_pFile) {
        try {
            TakeEveryField();  // a failing field has been reported; save anyway
            if (m_bCanSave && m_pStoreArchive)
                SaveRecord(*m_pStoreArchive, *m_pFile);
        } catch (const CArchiveException& e) {
            // The file is as it was (unless even that failed): say so and end.
            ReleaseSettingsFile();
            CDialog::OnCancel();
            ReportMessage(m_hWnd, SettingsSaveFailedText(e.m_cause != CArchiveException::writeUndoFailed));
            return;
        } catch (...) {
            // Exit always ends the panel; the error is then reported.
            ReleaseSettingsFile();
            CDialog::OnCancel();
            throw;
        }
        ReleaseSettingsFile();
    }
    CDialog::OnCancel();
}

void CControlDlg::TakeEveryField()
{
    CDataExchange dx(this, true);
    dx.m_bTakeEveryField = true;
    DoDataExchange(&dx);
}

std::string CControlDlg::NotWritableText() const
{
    return SettingsNotWritableText(m_strSettingsFile.c_str(), m_nSaveOpenError);
}

void CControlDlg::Serialize(CArchive& ar)
{
    SerializeRecord(ar);
    if (ar.IsStoring())
        return;
    m_font.DeleteObject();
    const LOGFONTA lf = ToLogFontA(m_lfFont);
    if (m_font.Attach(::CreateFontIndirectA(&lf)))
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
}

void CControlDlg::GetDialogFont(LOGFONTA* pLogFont)
{
    // Zeros after the face name's NUL, so the file carries no stray bytes.
    std::memset(pLogFont, 0, sizeof(LOGFONTA));
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!hFont)
        hFont = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    ::GetObjectA(hFont, sizeof(LOGFONTA), pLogFont);
}

void CControlDlg::OnDelayChanged(int32_t nDelay)
{
    m_nDelay = nDelay;
    ::SetDlgItemInt(m_hWnd, IDC_DELAY, static_cast<UINT>(m_nDelay), TRUE);
}

void CControlDlg::OnOverlayClosed()
{
    m_pOverlay = nullptr;
    GetDlgItem(IDOK).EnableWindow(true);
}

void CControlDlg::TakeFile(const std::string& path)
{
    if (path.empty())
        return;
    m_strFile = path;
    ShowFile(GetDlgItem(IDC_FILE), path);
}

bool CControlDlg::OnCommand(UINT nID, UINT nCode, HWND)
{
    if (nCode != BN_CLICKED)
        return false;
    switch (nID) {
    case IDC_FONT:
        OnFont();
        return true;
    case IDC_BROWSE:
        OnBrowse();
        return true;
    default:
        return false;
    }
}

void CControlDlg::OnBrowse()
{
    CFileDialog dlg(true, nullptr, nullptr, OFN_EXPLORER, kSubtitleFilter, m_hWnd);
    if (dlg.DoModal() != IDOK)
        return;
    UpdateData(true);  // keeps what was typed into the other fields
    m_strFile = dlg.GetPathName();
    UpdateData(false);
}

void CControlDlg::OnFont()
{
    LOGFONTA lf = ToLogFontA(m_lfFont);
    CFontDialog dlg(&lf, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS, nullptr, nullptr);
    dlg.m_cf.rgbColors = m_crText;
    if (dlg.DoModal() != IDOK)
        return;
    m_font.DeleteObject();
    if (!m_font.Attach(::CreateFontIndirectA(&lf)))
        return;
    m_crText = dlg.m_cf.rgbColors;
    CWinApp* pApp = AfxGetApp();
    if (pApp)
        pApp->BeginWaitCursor();
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
    m_lfFont = FromLogFontA(lf);
    if (pApp)
        pApp->EndWaitCursor();
}

bool CControlDlg::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == IDM_START_ON_CLICK) {
        ToggleStartOnClick();
        return true;
    }
    if ((nID & 0xFFF0) == IDM_OPTIONS) {
        OnOptions();
        return true;
    }
    if ((nID & 0xFFF0) != IDM_ABOUTBOX)
        return false;  // move, size, minimise, restore, close: the default
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
    return true;
}

void CControlDlg::OnOptions(HWND hOwner)
{
    COptionsDlg dlg(hOwner ? hOwner : m_hWnd, m_options, m_player, m_strOptionsFile);
    if (dlg.DoModal() != IDOK)
        return;
    m_options = dlg.m_values;
    m_player = dlg.m_player;
    if (m_pOverlay) {
        m_pOverlay->ApplyOptions(m_options);
        m_pOverlay->FollowPlayer(m_player);
    }
}

POINT CControlDlg::IconPosition(int cxClient, int cyClient, int cxIcon, int cyIcon)
{
    return POINT{(cxClient - cxIcon + 1) / 2, (cyClient - cyIcon + 1) / 2};
}

bool CControlDlg::OnPaint()
{
    if (!IsIconic())
        return false;
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const POINT at = IconPosition(rect.right - rect.left, rect.bottom - rect.top, cxIcon, cyIcon);
    dc.DrawIcon(at.x, at.y, m_hIcon);
    return true;
}

HICON CControlDlg::OnQueryDragIcon()
{
    return m_hIcon;
}

void CControlDlg::ToggleStartOnClick()
{
    if (m_startOnClick.IsArmed()) {
        DisarmStartOnClick();
        return;
    }
    // Refused while an overlay plays: this acts as Start does, it brings the
    // overlay forward.
    if (m_pOverlay) {
        OnOK();
        return;
    }
    if (!UpdateData(true) || !m_startOnClick.Arm(m_hWnd, kClickedToStart))
        return;
    wchar_t caption[256] = L"";
    ::GetWindowTextW(m_hWnd, caption, 256);
    m_strCaption = caption;
    ::SetWindowTextW(m_hWnd, L"Kelvane - Click Play in your player\u2026");
    if (HMENU hSysMenu = GetSystemMenu(false))
        ::CheckMenuItem(hSysMenu, IDM_START_ON_CLICK, MF_BYCOMMAND | MF_CHECKED);
}

void CControlDlg::DisarmStartOnClick()
{
    if (!m_startOnClick.IsArmed())
        return;
    m_startOnClick.Disarm();
    ::SetWindowTextW(m_hWnd, m_strCaption.c_str());
    if (HMENU hSysMenu = GetSystemMenu(false))
        ::CheckMenuItem(hSysMenu, IDM_START_ON_CLICK, MF_BYCOMMAND | MF_UNCHECKED);
}

bool CControlDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    switch (msg) {
    case WM_DROPFILES:
        TakeFile(FileFromDrop(reinterpret_cast<HDROP>(wParam)));
        lResult = 0;
        return true;
    case kClickedToStart:
        if (m_startOnClick.IsArmed()) {
            // The press's own time (the message time's clock), taken back
            // onto the steady clock: the film was at the From fields then.
            const DWORD sincePress = ::GetTickCount() - static_cast<DWORD>(wParam);
            Start(SteadyNowMs() - sincePress);
        }
        return true;
    default:
        return CDialog::OnMessage(msg, wParam, lParam, lResult);
    }
}

#include "panel/OptionsDlg.h"

#include <commdlg.h>

#include <mutex>
#include <string>
#include <thread>

#include "core/PlayerFollower.h"
#include "core/Unicode.h"
#include "framework/Report.h"
#include "framework/WinApp.h"
#include "framework/WinPlayerTransport.h"
#include "panel/Options.h"
#include "res/resource.h"

namespace {

// The player's text fields, each with its key in [Player] and what to say when it does not read.
const struct {
    int nID;
    int nKey;  // in CPlayerConfig::kKeys
    const char* complaint;
} kPlayerFields[] = {
    {IDC_PLAYER_PIPE, 1, "The mpv pipe is a name (mpvsocket) or a full pipe path (\\\\.\\pipe\\mpvsocket)."},
    {IDC_PLAYER_HOST, 2, "The host is a name or an address: letters, digits, dots and hyphens."},
    {IDC_PLAYER_MPC_PORT, 3, "The MPC port is a whole number from 1 to 65535."},
    {IDC_PLAYER_VLC_PORT, 4, "The VLC port is a whole number from 1 to 65535."},
    {IDC_PLAYER_PASSWORD, 5,
     "The VLC password cannot be kept in Kelvane.ini as it stands: it begins or ends with a blank or a quote, or "
     "holds a blank followed by a semicolon."},
};
const wchar_t* const kFollowChoices[] = {L"Off (wall clock)", L"mpv", L"MPC-HC or MPC-BE", L"VLC"};
// The code pages that subtitle files come in most, after auto (0).
const struct {
    unsigned nCodePage;
    const wchar_t* name;
} kEncodings[] = {
    {0, L"Automatic: UTF-8, else the system's"}, {1250, L"Central European (1250)"}, {1251, L"Cyrillic (1251)"},
    {1252, L"Western (1252)"}, {1253, L"Greek (1253)"}, {1254, L"Turkish (1254)"}, {1255, L"Hebrew (1255)"},
    {1256, L"Arabic (1256)"}, {1257, L"Baltic (1257)"}, {1258, L"Vietnamese (1258)"}, {874, L"Thai (874)"},
    {932, L"Japanese (932)"}, {936, L"Chinese Simplified (936)"}, {949, L"Korean (949)"},
    {950, L"Chinese Traditional (950)"},
};

}  // namespace

struct COptionsDlg::CCheck {
    std::mutex mutex;
    HWND hWnd;            // null once the dialog is gone
    std::string strAnswer;
};

COptionsDlg::COptionsDlg(HWND hOwner, const COptionValues& values, const CPlayerConfig& player,
                         const std::wstring& file)
    : CDialog(IDD_OPTIONS, hOwner), m_values(values), m_player(player), m_strFile(file)
{
}

BOOL COptionsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ::CheckDlgButton(m_hWnd, IDC_OPT_LIVE, m_values.bLiveSeeThrough ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_OPT_OUTLINE, m_values.bOutline ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_OPT_TAGS, m_values.bFormattingTags ? BST_CHECKED : BST_UNCHECKED);
    const CWnd width = GetDlgItem(IDC_OPT_WIDTH);
    for (int n = COptionValues::kMinOutlineWidth; n <= COptionValues::kMaxOutlineWidth; ++n)
        width.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(n).c_str()));
    width.SendMessage(CB_SETCURSEL, static_cast<WPARAM>(m_values.nOutlineWidth - COptionValues::kMinOutlineWidth));
    ShowColor();
    EnableOutlineControls();
    // The code pages named, and one that Kelvane.ini names besides them.
    const CWnd encoding = GetDlgItem(IDC_OPT_ENCODING);
    const auto add = [&](unsigned nCodePage, const std::wstring& name) {
        const LRESULT i = encoding.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        encoding.SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(i), nCodePage);
        if (nCodePage == m_values.nCodePage)
            encoding.SendMessage(CB_SETCURSEL, static_cast<WPARAM>(i));
    };
    bool bNamed = false;
    for (const auto& e : kEncodings)
        add(e.nCodePage, e.name), bNamed = bNamed || e.nCodePage == m_values.nCodePage;
    if (!bNamed)
        add(m_values.nCodePage, L"Code page " + std::to_wstring(m_values.nCodePage));

    const CWnd follow = GetDlgItem(IDC_PLAYER_FOLLOW);
    for (const wchar_t* choice : kFollowChoices)
        follow.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
    follow.SendMessage(CB_SETCURSEL, static_cast<WPARAM>(m_player.eFollow));
    for (const auto& field : kPlayerFields) {
        GetDlgItem(field.nID).SendMessage(EM_LIMITTEXT, 200);  // what Kelvane.ini gives back in full
        ::SetDlgItemTextW(m_hWnd, field.nID, Utf8ToWide(m_player.Get(CPlayerConfig::kKeys[field.nKey])).c_str());
    }
    EnableCheck();
    return TRUE;
}

void COptionsDlg::ShowColor()
{
    ::SetDlgItemTextW(m_hWnd, IDC_OPT_SWATCH, Utf8ToWide(FormatColorRef(m_values.crOutline)).c_str());
}

void COptionsDlg::EnableOutlineControls()
{
    const bool bOutline = ::IsDlgButtonChecked(m_hWnd, IDC_OPT_OUTLINE) == BST_CHECKED;
    GetDlgItem(IDC_OPT_WIDTH).EnableWindow(bOutline);
    GetDlgItem(IDC_OPT_COLOR).EnableWindow(bOutline);
}

void COptionsDlg::EnableCheck()
{
    // Check asks a player, one check at a time.
    const LRESULT follow = GetDlgItem(IDC_PLAYER_FOLLOW).SendMessage(CB_GETCURSEL);
    GetDlgItem(IDC_PLAYER_CHECK).EnableWindow(follow > CPlayerConfig::Off && !m_pCheck);
}

bool COptionsDlg::ReadPlayerFields(CPlayerConfig& player)
{
    const LRESULT follow = GetDlgItem(IDC_PLAYER_FOLLOW).SendMessage(CB_GETCURSEL);
    if (follow >= CPlayerConfig::Off && follow <= CPlayerConfig::Vlc)
        player.eFollow = static_cast<CPlayerConfig::Follow>(follow);
    for (const auto& field : kPlayerFields) {
        wchar_t text[256] = L"";
        ::GetDlgItemTextW(m_hWnd, field.nID, text, 256);
        const std::string value = WideToUtf8(text);
        if (!IsProfileValue(value) || !player.Set(CPlayerConfig::kKeys[field.nKey], value)) {
            ReportMessage(m_hWnd, field.complaint);
            ::SetFocus(GetDlgItem(field.nID));
            return false;
        }
    }
    return true;
}

bool COptionsDlg::OnCommand(UINT nID, UINT nCode, HWND)
{
    if (nID == IDC_PLAYER_FOLLOW && nCode == CBN_SELCHANGE) {
        EnableCheck();
        return true;
    }
    if (nCode != BN_CLICKED)
        return false;
    if (nID == IDC_OPT_OUTLINE) {
        EnableOutlineControls();
        return true;
    }
    if (nID == IDC_PLAYER_CHECK) {
        StartCheck();
        return true;
    }
    if (nID != IDC_OPT_COLOR)
        return false;
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = m_hWnd;
    cc.rgbResult = m_values.crOutline;
    cc.lpCustColors = m_crCustom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (::ChooseColorW(&cc)) {
        m_values.crOutline = cc.rgbResult & 0xFFFFFF;
        ShowColor();
    }
    return true;
}

void COptionsDlg::StartCheck()
{
    CPlayerConfig player = m_player;
    if (m_pCheck || !ReadPlayerFields(player) || player.eFollow == CPlayerConfig::Off)
        return;
    // The check takes up to a second or two: on its own thread, which hands the answer back with a message.
    m_pCheck = std::make_shared<CCheck>();
    m_pCheck->hWnd = m_hWnd;
    EnableCheck();
    ::SetDlgItemTextW(m_hWnd, IDC_PLAYER_ANSWER, L"Checking\u2026");
    std::thread([check = m_pCheck, player] {
        std::string answer;
        try {
            CWinPlayerTransport transport;
            answer = CheckPlayer(player, transport);
        } catch (const std::exception& e) {
            answer = std::string("The check failed: ") + e.what();
        }
        std::lock_guard<std::mutex> lock(check->mutex);
        check->strAnswer = answer;
        if (check->hWnd)
            ::PostMessageW(check->hWnd, kCheckAnswered, 0, 0);
    }).detach();
}

bool COptionsDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (msg == kCheckAnswered && m_pCheck) {
        std::string answer;
        {
            std::lock_guard<std::mutex> lock(m_pCheck->mutex);
            answer = m_pCheck->strAnswer;
        }
        m_pCheck.reset();
        ::SetDlgItemTextW(m_hWnd, IDC_PLAYER_ANSWER, Utf8ToWide(answer).c_str());
        EnableCheck();
        return true;
    }
    if (msg == WM_DESTROY && m_pCheck) {
        // A check still running keeps its answer to itself.
        std::lock_guard<std::mutex> lock(m_pCheck->mutex);
        m_pCheck->hWnd = nullptr;
    }
    return CDialog::OnMessage(msg, wParam, lParam, lResult);
}

void COptionsDlg::OnOK()
{
    CPlayerConfig player = m_player;
    if (!ReadPlayerFields(player))
        return;  // the dialog stays, the focus on the field that does not read
    m_player = player;
    m_values.bLiveSeeThrough = ::IsDlgButtonChecked(m_hWnd, IDC_OPT_LIVE) == BST_CHECKED;
    m_values.bOutline = ::IsDlgButtonChecked(m_hWnd, IDC_OPT_OUTLINE) == BST_CHECKED;
    m_values.bFormattingTags = ::IsDlgButtonChecked(m_hWnd, IDC_OPT_TAGS) == BST_CHECKED;
    const LRESULT sel = GetDlgItem(IDC_OPT_WIDTH).SendMessage(CB_GETCURSEL);
    if (sel >= 0)
        m_values.nOutlineWidth = COptionValues::kMinOutlineWidth + static_cast<int>(sel);
    const CWnd encoding = GetDlgItem(IDC_OPT_ENCODING);
    const LRESULT chosen = encoding.SendMessage(CB_GETCURSEL);
    if (chosen >= 0)
        m_values.nCodePage = static_cast<unsigned>(encoding.SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(chosen)));
    if (!SaveOptions(m_strFile, m_values, m_player))
        ReportMessage(m_hWnd, AfxLoadString(IDS_OPTIONS_NOT_SAVED), MB_OK | MB_ICONEXCLAMATION);
    EndDialog(IDOK);
}

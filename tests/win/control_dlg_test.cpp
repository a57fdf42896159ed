// The real control panel under Wine, created from its template in a fresh
// folder: opening, loading and saving "Kelvane.DAT", the field table, Start's
// validation, Exit by every way, the About box, and the minimised icon.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/Report.h"
#include "panel/ControlDlg.h"
#include "playback/SubtitleWnd.h"
#include "res/resource.h"

namespace {

std::vector<std::string> g_messages;
int CaptureMessage(HWND, const std::string& text, UINT)
{
    g_messages.push_back(text);
    return IDOK;
}

std::string ReadAll(const char* path)
{
    std::string bytes;
    if (FILE* f = std::fopen(path, "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

void WriteAll(const char* path, const std::string& bytes)
{
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

std::string Int32(int32_t v)
{
    const uint32_t u = static_cast<uint32_t>(v);
    return std::string{char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char(u >> 24)};
}

// The worked example of the file format: 113 bytes.
std::string WorkedExample()
{
    std::string b = Int32(1500) + Int32(0) + Int32(10) + Int32(0) + Int32(0) + std::string("\xFF\xFF\xFF\x00", 4);
    b += '\x0C';
    b += "D:\\movie.srt";
    b += Int32(100) + Int32(600) + Int32(900) + Int32(700);
    b += Int32(-37) + Int32(0) + Int32(0) + Int32(0) + Int32(700);
    b += std::string("\x00\x00\x00\x00\x03\x02\x01\x22", 8);
    b += std::string("Arial", 5) + std::string(27, '\0');
    return b;
}

std::string Field(HWND hDlg, int id)
{
    char text[512] = {};
    GetDlgItemTextA(hDlg, id, text, sizeof text);
    return text;
}

// True when the platform opens a read-only file for writing anyway (Wine run
// by the superuser ignores the attribute); read-only cases cannot be made then.
bool ReadOnlyFilesAreWritable()
{
    HANDLE h = CreateFileA("Kelvane.DAT", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

// Each test runs in a fresh current directory, where the panel finds its file.
class ControlPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(MAX_PATH, m_oldDir);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int counter = 0;
        m_dir = std::string(temp) + "kelvane_panel_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++counter);
        CreateDirectoryA(m_dir.c_str(), nullptr);
        SetCurrentDirectoryA(m_dir.c_str());
        g_messages.clear();
        m_previousHook = SetMessageHook(CaptureMessage);
    }
    void TearDown() override
    {
        SetMessageHook(m_previousHook);
        SetFileAttributesA("Kelvane.DAT", FILE_ATTRIBUTE_NORMAL);
        DeleteFileA("Kelvane.DAT");
        SetCurrentDirectoryA(m_oldDir);
        RemoveDirectoryA(m_dir.c_str());
    }

    // Presses Exit the way a modeless test panel allows: the button's command.
    static void PressExit(CControlDlg& dlg)
    {
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }

    char m_oldDir[MAX_PATH] = {};
    std::string m_dir;
    MessageHook m_previousHook = nullptr;
};

TEST_F(ControlPanel, FirstRunCreatesAnEmptyFileAndExitWritesAFullRecord)
{
    {
        CControlDlg dlg;
        EXPECT_FALSE(dlg.m_bHaveSettings);
        ASSERT_TRUE(Exists("Kelvane.DAT")) << "created at construction";
        EXPECT_EQ(ReadAll("Kelvane.DAT").size(), 0u);
        ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
        for (int id : {IDC_DELAY, IDC_MILLIS, IDC_MIN, IDC_SEC, IDC_HOUR})
            EXPECT_EQ(Field(dlg, id), "0");
        EXPECT_EQ(Field(dlg, IDC_FILE), "");
        EXPECT_EQ(dlg.m_font.GetSafeHandle(), nullptr) << "no font object on a first run";
        LOGFONTA own;
        dlg.GetDialogFont(&own);
        EXPECT_EQ(std::memcmp(&own, &dlg.m_lfFont, sizeof own), 0) << "the panel's own font";
        EXPECT_NE(dlg.m_lfFont.lfFaceName[0], '\0');

        SetDlgItemTextA(dlg, IDC_DELAY, "1500");
        SetDlgItemTextA(dlg, IDC_FILE, "D:\\movie.srt");
        SetDlgItemTextA(dlg, IDC_MIN, "10");
        PressExit(dlg);
        EXPECT_TRUE(g_messages.empty());
        EXPECT_EQ(dlg.m_pFile, nullptr);
        EXPECT_EQ(dlg.m_pLoadArchive, nullptr);
        EXPECT_EQ(dlg.m_pStoreArchive, nullptr);
        dlg.DestroyWindow();
    }
    const std::string saved = ReadAll("Kelvane.DAT");
    ASSERT_EQ(saved.size(), 113u);
    EXPECT_EQ(saved.substr(0, 25), Int32(1500) + Int32(0) + Int32(10) + Int32(0) + Int32(0) + Int32(0) + "\x0C");
    EXPECT_EQ(saved.substr(25, 12), "D:\\movie.srt");
    EXPECT_EQ(saved.substr(37, 16), std::string(16, '\0')) << "no overlay: rectangle 0";
}

TEST_F(ControlPanel, SavedRecordIsLoadedAndShown)
{
    WriteAll("Kelvane.DAT", WorkedExample());
    CControlDlg dlg;
    EXPECT_TRUE(dlg.m_bHaveSettings);
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    EXPECT_TRUE(g_messages.empty());
    EXPECT_EQ(Field(dlg, IDC_DELAY), "1500");
    EXPECT_EQ(Field(dlg, IDC_FILE), "D:\\movie.srt");
    EXPECT_EQ(Field(dlg, IDC_MIN), "10");
    EXPECT_EQ(dlg.m_crText, 0x00FFFFFFu);
    EXPECT_EQ(dlg.m_rcOverlay.left, 100);
    EXPECT_EQ(dlg.m_rcOverlay.bottom, 700);
    EXPECT_EQ(dlg.m_lfFont.lfHeight, -37);
    EXPECT_STREQ(dlg.m_lfFont.lfFaceName, "Arial");
    ASSERT_NE(dlg.m_font.GetSafeHandle(), nullptr) << "a font object is made from the loaded description";
    LOGFONTA made{};
    ASSERT_EQ(GetObjectA(dlg.m_font.GetSafeHandle(), sizeof made, &made), static_cast<int>(sizeof made));
    EXPECT_EQ(made.lfHeight, -37);
    EXPECT_EQ(made.lfWeight, 700);
    EXPECT_STREQ(made.lfFaceName, "Arial");

    // Saving it back unchanged gives the same bytes.
    PressExit(dlg);
    EXPECT_EQ(ReadAll("Kelvane.DAT"), WorkedExample());
    dlg.DestroyWindow();
}

TEST_F(ControlPanel, ShorterSaveKeepsTheOldTail)
{
    std::string old = WorkedExample();
    old[24] = 40;  // a 40-byte path instead
    old = old.substr(0, 25) + std::string(40, 'q') + old.substr(37);
    WriteAll("Kelvane.DAT", old);
    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    SetDlgItemTextA(dlg, IDC_FILE, "short.srt");
    PressExit(dlg);
    dlg.DestroyWindow();
    const std::string saved = ReadAll("Kelvane.DAT");
    ASSERT_EQ(saved.size(), old.size());
    EXPECT_EQ(saved.substr(25, 9), "short.srt");
    EXPECT_EQ(saved.substr(110), old.substr(110));
}

TEST_F(ControlPanel, EmptyFileReportsKeepsPanelUsableAndExitRepairs)
{
    WriteAll("Kelvane.DAT", "");
    CControlDlg dlg;
    EXPECT_TRUE(dlg.m_bHaveSettings);
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_NE(g_messages[0].find("Kelvane.DAT"), std::string::npos);
    EXPECT_EQ(Field(dlg, IDC_DELAY), "0");
    EXPECT_EQ(dlg.m_font.GetSafeHandle(), nullptr);
    LOGFONTA own;
    dlg.GetDialogFont(&own);
    EXPECT_EQ(std::memcmp(&own, &dlg.m_lfFont, sizeof own), 0) << "after a failed load the font is the panel's own";

    SetDlgItemTextA(dlg, IDC_HOUR, "2");
    PressExit(dlg);
    dlg.DestroyWindow();
    const std::string saved = ReadAll("Kelvane.DAT");
    ASSERT_EQ(saved.size(), 101u);
    EXPECT_EQ(saved.substr(4, 4), Int32(2));
    EXPECT_EQ(saved.substr(41 + 28, 32), std::string(own.lfFaceName, 32));
}

TEST_F(ControlPanel, FileCutInsideThePathReportsButKeepsEarlierFields)
{
    WriteAll("Kelvane.DAT", WorkedExample().substr(0, 30));
    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(dlg.m_nDelay, 1500) << "fields read before the failure keep their values";
    EXPECT_EQ(dlg.m_strFile, "");
    EXPECT_EQ(Field(dlg, IDC_DELAY), "0") << "the controls were not refreshed";
    dlg.DestroyWindow();
}

TEST_F(ControlPanel, FieldsAreValidatedInTableOrderWithoutReset)
{
    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    SetForegroundWindow(dlg);
    SetDlgItemTextA(dlg, IDC_DELAY, "250");
    SetDlgItemTextA(dlg, IDC_FILE, "a.srt");
    SetDlgItemTextA(dlg, IDC_MILLIS, "1000");
    SetDlgItemTextA(dlg, IDC_HOUR, "24");
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // Start
    ASSERT_EQ(g_messages.size(), 1u) << "only the first failing field is reported";
    EXPECT_NE(g_messages[0].find("0 to 999"), std::string::npos) << g_messages[0];
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_MILLIS));
    EXPECT_EQ(dlg.m_nDelay, 250);
    EXPECT_EQ(dlg.m_strFile, "a.srt");
    EXPECT_EQ(dlg.m_nMillis, 1000);
    EXPECT_EQ(dlg.m_nHour, 0) << "later fields are not read";
    EXPECT_EQ(Field(dlg, IDC_HOUR), "24") << "nothing is reset";

    struct Case {
        int id;
        const char* text;
        const char* expected;
    };
    for (const Case& c : {Case{IDC_MIN, "60", "0 to 59"}, Case{IDC_SEC, "60", "0 to 59"},
                          Case{IDC_HOUR, "24", "0 to 23"}, Case{IDC_HOUR, "", "whole number"}}) {
        for (int id : {IDC_MILLIS, IDC_MIN, IDC_SEC, IDC_HOUR})
            SetDlgItemTextA(dlg, id, "0");
        SetDlgItemTextA(dlg, c.id, c.text);
        g_messages.clear();
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ASSERT_EQ(g_messages.size(), 1u) << c.id;
        EXPECT_NE(g_messages[0].find(c.expected), std::string::npos) << g_messages[0];
        EXPECT_EQ(GetFocus(), GetDlgItem(dlg, c.id));
    }

    // Valid fields pass; Start stays enabled until an overlay exists.
    SetDlgItemTextA(dlg, IDC_HOUR, "23");
    g_messages.clear();
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(g_messages.empty());
    EXPECT_EQ(dlg.m_nHour, 23);
    // The overlay that Start made must go before the panel it points to.
    ASSERT_NE(dlg.m_pOverlay, nullptr);
    SendMessageA(*dlg.m_pOverlay, WM_CLOSE, 0, 0);
    EXPECT_EQ(dlg.m_pOverlay, nullptr);
    dlg.DestroyWindow();
}

TEST_F(ControlPanel, ExitWithAnInvalidFieldReportsAndStillSaves)
{
    WriteAll("Kelvane.DAT", WorkedExample());
    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    SetDlgItemTextA(dlg, IDC_DELAY, "99");
    SetDlgItemTextA(dlg, IDC_MIN, "60");
    SetDlgItemTextA(dlg, IDC_HOUR, "5");
    PressExit(dlg);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(dlg.m_pFile, nullptr);
    EXPECT_FALSE(dlg.IsWindowVisible()) << "the panel ended";
    dlg.DestroyWindow();
    const std::string saved = ReadAll("Kelvane.DAT");
    EXPECT_EQ(saved.substr(0, 4), Int32(99));
    EXPECT_EQ(saved.substr(8, 4), Int32(60)) << "the out-of-range value was taken";
    EXPECT_EQ(saved.substr(4, 4), Int32(0)) << "the hour after the failure keeps its loaded value";
}

TEST_F(ControlPanel, SecondInstanceStartsWithDefaultsAndNeverWrites)
{
    WriteAll("Kelvane.DAT", WorkedExample());
    CControlDlg first;
    CControlDlg second;
    EXPECT_FALSE(second.m_bHaveSettings);
    EXPECT_FALSE(second.m_bCanSave);
    EXPECT_EQ(second.m_pStoreArchive, nullptr);
    ASSERT_TRUE(second.Create(IDD_CONTROL, HWND(nullptr)));
    EXPECT_TRUE(g_messages.empty());
    EXPECT_EQ(Field(second, IDC_DELAY), "0");
    SetDlgItemTextA(second, IDC_DELAY, "7");
    PressExit(second);
    EXPECT_EQ(second.m_pFile, nullptr);
    EXPECT_FALSE(second.IsWindowVisible()) << "Exit still closes the panel";
    second.DestroyWindow();

    // The first panel still saves its record, untouched by the second.
    ASSERT_TRUE(first.Create(IDD_CONTROL, HWND(nullptr)));
    PressExit(first);
    first.DestroyWindow();
    EXPECT_EQ(ReadAll("Kelvane.DAT"), WorkedExample());
}

TEST_F(ControlPanel, ReadOnlyFileIsLoadedButNeverWritten)
{
    WriteAll("Kelvane.DAT", WorkedExample());
    ASSERT_TRUE(SetFileAttributesA("Kelvane.DAT", FILE_ATTRIBUTE_READONLY));
    if (ReadOnlyFilesAreWritable())
        GTEST_SKIP() << "this system lets a read-only file be opened for writing (a superuser under Wine)";
    CControlDlg dlg;
    EXPECT_TRUE(dlg.m_bHaveSettings);
    EXPECT_FALSE(dlg.m_bCanSave);
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    EXPECT_TRUE(g_messages.empty());
    EXPECT_EQ(Field(dlg, IDC_FILE), "D:\\movie.srt") << "the user still sees the settings";
    SetDlgItemTextA(dlg, IDC_DELAY, "1");
    PressExit(dlg);
    EXPECT_FALSE(dlg.IsWindowVisible());
    dlg.DestroyWindow();
    EXPECT_EQ(ReadAll("Kelvane.DAT"), WorkedExample());
}

TEST_F(ControlPanel, PanelEndedWithoutExitWritesNothing)
{
    {
        CControlDlg dlg;
        ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
        SetDlgItemTextA(dlg, IDC_DELAY, "5");
        dlg.DestroyWindow();
    }
    EXPECT_EQ(ReadAll("Kelvane.DAT").size(), 0u);
}

// Exit reached through the platform: Escape and the caption's close (both in
// the modal loop of the real DoModal), each saving like the Exit button.
UINT g_exitMessage = 0;
void CALLBACK SendExitRequest(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND hPanel = FindWindowA("#32770", "Kelvane");
    if (!hPanel)
        return;
    KillTimer(nullptr, id);
    SetDlgItemTextA(hPanel, IDC_SEC, "42");
    if (g_exitMessage == WM_KEYDOWN)
        PostMessageA(GetDlgItem(hPanel, IDC_FILE), WM_KEYDOWN, VK_ESCAPE, 0);
    else
        PostMessageA(hPanel, WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST_F(ControlPanel, EscapeAndCaptionCloseSaveLikeExit)
{
    for (UINT how : {static_cast<UINT>(WM_KEYDOWN), static_cast<UINT>(WM_SYSCOMMAND)}) {
        g_exitMessage = how;
        CControlDlg dlg;
        SetTimer(nullptr, 0, 50, SendExitRequest);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << how;
        const std::string saved = ReadAll("Kelvane.DAT");
        ASSERT_EQ(saved.size(), 101u) << how;
        EXPECT_EQ(saved.substr(12, 4), Int32(42)) << how;
        DeleteFileA("Kelvane.DAT");
    }
}

// The About box from the system menu, with extra low bits in the command.
bool g_aboutSeen = false;
void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND hAbout = FindWindowA("#32770", "About Kelvane");
    if (!hAbout)
        return;
    KillTimer(nullptr, id);
    g_aboutSeen = IsWindowVisible(hAbout) && GetDlgItem(hAbout, IDOK) != nullptr;
    PostMessageA(hAbout, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(ControlPanel, SystemMenuHoldsTheAboutEntryWhichOpensTheBox)
{
    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    HMENU hMenu = GetSystemMenu(dlg, FALSE);
    ASSERT_NE(hMenu, nullptr);
    const int count = GetMenuItemCount(hMenu);
    ASSERT_GE(count, 2);
    char text[64] = {};
    GetMenuStringA(hMenu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Kelvane...");
    EXPECT_EQ(GetMenuItemID(hMenu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(GetMenuState(hMenu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));

    g_aboutSeen = false;
    SetTimer(nullptr, 0, 50, CloseAboutBox);
    SendMessageA(dlg, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x0003, 0);
    EXPECT_TRUE(g_aboutSeen);
    EXPECT_TRUE(IsWindow(dlg));
    dlg.DestroyWindow();
}

TEST_F(ControlPanel, IconsAndMinimisedIconPosition)
{
    CControlDlg dlg;
    EXPECT_NE(dlg.m_hIcon, nullptr);
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dlg, WM_GETICON, ICON_BIG, 0)), dlg.m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dlg, WM_QUERYDRAGICON, 0, 0)), dlg.m_hIcon);
    dlg.DestroyWindow();

    const POINT inside = CControlDlg::IconPosition(36, 36, 32, 32);
    EXPECT_EQ(inside.x, 2);
    EXPECT_EQ(inside.y, 2);
    const POINT truncated = CControlDlg::IconPosition(30, 30, 32, 32);
    EXPECT_EQ(truncated.x, 0) << "(30 - 32 + 1) / 2 truncates towards zero";
    EXPECT_EQ(truncated.y, 0);
}

TEST_F(ControlPanel, OverlayClosedEnablesStart)
{
    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    EnableWindow(GetDlgItem(dlg, IDOK), FALSE);
    dlg.m_pOverlay = reinterpret_cast<CSubtitleWnd*>(&dlg);  // any non-null marker; never dereferenced
    dlg.OnOverlayClosed();
    EXPECT_EQ(dlg.m_pOverlay, nullptr);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));
    dlg.DestroyWindow();
}

}  // namespace

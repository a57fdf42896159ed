// The panel in process, in a fresh folder: its fields, settings files it cannot load or write, files from outside.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "panel/ControlDlg.h"
#include "panel/FileArgument.h"
#include "res/resource.h"
#include "win_test_util.h"

namespace {

using ControlPanel = TempFolderTest;

const int kFields[] = {IDC_DELAY, IDC_FILE, IDC_MILLIS, IDC_MIN, IDC_SEC, IDC_HOUR};
const std::string kRecord = std::string("\xDC\x05", 2) + std::string(22, '\0') + "\x0C" "D:\\movie.srt" +
                            std::string(76, '\0');  // 1500 ms delay and the path, all else zero

bool Writable(const char* path) {
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    return h != INVALID_HANDLE_VALUE && CloseHandle(h);
}

void Exit(HWND dlg) { SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

// Exit at the end saves every field as far as it can: the delay, no number, as it was; the others as typed.
TEST_F(ControlPanel, FieldsAreReadInOrderTheFirstRefusalIsReportedWithTheFocusOnItAndExitTakesEveryField) {
    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    SetForegroundWindow(dlg);
    // Typed into the fields above; then the refused field with the message's words, or 0 when all pass;
    // then the delay and hour held after the read (a refused field and those after it keep theirs).
    const struct { const char* typed[6]; int focus; const char* words; int delay, hour; } cases[] = {
        {{"-0", "", "0", "0", "0", "0"}, 0, nullptr, 0, 0},
        {{"5", "x.srt", "1000", "60", "60", "24"}, IDC_MILLIS, "0 to 999", 5, 0},
        {{"5", "x.srt", "0", "60", "60", "24"}, IDC_MIN, "0 to 59", 5, 0},
        {{"5", "x.srt", "0", "0", "60", "24"}, IDC_SEC, "0 to 59", 5, 0},
        {{"6", "x.srt", "0", "0", "0", "24"}, IDC_HOUR, "From Hour", 6, 24},
        {{"4294967296", "x.srt", "0", "0", "0", "1"}, IDC_DELAY, "too large", 6, 24},
        {{"-2147483649", "x.srt", "0", "0", "0", "1"}, IDC_DELAY, "too small", 6, 24},
        {{"7", "x.srt", "0", "0", "0", ""}, IDC_HOUR, "whole number", 7, 24},
        {{" -2147483648 ", "a.srt", "999", "59", "+59", "23"}, 0, nullptr, INT32_MIN, 23},
        {{"5x", "new.srt", "5000", "7", "8", "99"}, IDC_DELAY, "whole number", INT32_MIN, 23},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        for (int i = 0; i < 6; ++i) SetDlgItemTextA(dlg, kFields[i], c.typed[i]);
        g_messages.clear();
        EXPECT_EQ(dlg.UpdateData(true), c.focus == 0);
        EXPECT_TRUE(dlg.m_nDelay == c.delay && dlg.m_nHour == c.hour) << dlg.m_nDelay << " " << dlg.m_nHour;
        ASSERT_EQ(g_messages.size(), c.focus ? 1u : 0u);
        EXPECT_TRUE(!c.focus || (g_messages[0].find(c.words) != std::string::npos && GetFocus() == GetDlgItem(dlg, c.focus)));
    }
    g_messages.clear(), Exit(dlg);
    EXPECT_FALSE(dlg.IsWindowVisible()) << "the panel ends all the same";
    const std::string saved = ReadBytes("Kelvane.DAT") + std::string(32, '\0');
    std::vector<int32_t> values(5);  // delay, hour, min, sec, millis
    std::memcpy(values.data(), saved.data(), 20);
    EXPECT_EQ(values, (std::vector<int32_t>{INT32_MIN, 99, 7, 8, 5000}));
    EXPECT_EQ(saved.substr(24, 8), "\x07new.srt");
    ASSERT_EQ(g_messages.size(), 1u) << "for the first failing field only";
    EXPECT_NE(g_messages[0].find("Delay"), std::string::npos) << g_messages[0];
    dlg.DestroyWindow();
}

// Sets (+i) or clears (-i) Linux's immutable flag on Kelvane.DAT by chattr through start.exe, run outside the test
// folder; polls up to 5 s, as Wine's handle of a Unix child may never signal. False outside Wine.
bool Chattr(const char* flag) {
    auto unixName = reinterpret_cast<char*(CDECL*)(LPCWSTR)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    char* path = unixName ? unixName(L"Kelvane.DAT") : nullptr;
    if (path)
        ShellExecuteA(nullptr, nullptr, "start.exe", (std::string("/unix /usr/bin/chattr ") + flag + " \"" + path + "\"").c_str(),
                      "C:\\", SW_HIDE);
    for (int i = 0; path && i < 50 && Writable("Kelvane.DAT") != (*flag == '-'); ++i)
        Sleep(100);
    return path && HeapFree(GetProcessHeap(), 0, path);
}

// Exit then saves the fields' defaults and the panel's font over the damage.
TEST_F(ControlPanel, FailedLoadReportsAndStartsFromDefaultsAndThePanelsFont) {
    // An empty file, one cut inside the path, one that ends just before the font, one cut inside it.
    const std::string toFont = std::string(24, '\x01') + '\0' + std::string(16, '\x02');
    for (const std::string& bytes : {std::string(), std::string(24, '\x01') + "\x0C" + "D:\\mo", toFont,
                                     toFont + std::string(30, '\x03')}) {
        SCOPED_TRACE(bytes.size());
        WriteBytes("Kelvane.DAT", bytes);
        g_messages.clear();
        CControlDlg dlg;
        ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
        ASSERT_EQ(g_messages.size(), 1u);
        EXPECT_TRUE(g_messages[0].find("Kelvane.DAT") != std::string::npos &&
                    g_messages[0].find("Exit saves them and repairs the file") != std::string::npos) << g_messages[0];
        LOGFONTA own;
        dlg.GetDialogFont(&own);
        EXPECT_FALSE(dlg.m_font.GetSafeHandle()) << "no font made from the damage";
        Exit(dlg), dlg.DestroyWindow();
        const std::string saved = ReadBytes("Kelvane.DAT");
        ASSERT_EQ(saved.size(), 101u) << "Exit repairs the file";
        EXPECT_EQ(saved.substr(0, 20) + saved[24], std::string(21, '\0')) << "the fields' defaults";
        EXPECT_EQ(saved.substr(41), std::string(reinterpret_cast<const char*>(&own), sizeof own)) << "the panel's font";
    }
}

TEST_F(ControlPanel, ReadOnlyFileStillLoadsButIsNeverWritten) {
    WriteBytes("Kelvane.DAT", kRecord);
    // Unwritable also for root, whom Wine lets past the read-only attribute; undone even after a failed check.
    SetFileAttributesA("Kelvane.DAT", FILE_ATTRIBUTE_READONLY);
    const struct Restore {
        bool immutable = Writable("Kelvane.DAT") && Chattr("+i");
        ~Restore() { (immutable && Chattr("-i")), SetFileAttributesA("Kelvane.DAT", FILE_ATTRIBUTE_NORMAL); }
    } restore;
    if (Writable("Kelvane.DAT"))
        GTEST_SKIP() << "neither the read-only attribute nor chattr +i makes the file unwritable here";
    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    EXPECT_EQ(GetDlgItemInt(dlg, IDC_DELAY, nullptr, TRUE), 1500) << "loaded and shown";
    Exit(dlg);
    EXPECT_FALSE(dlg.IsWindowVisible()) << "Exit still closes the panel";
    dlg.DestroyWindow();
    ASSERT_EQ(g_messages.size(), 1u) << "that it will not be saved, once";
    EXPECT_TRUE(g_messages[0].find("will not be saved this time") != std::string::npos && ReadBytes("Kelvane.DAT") == kRecord);
}

// A file held by another panel (another Kelvane): said once, the defaults shown and nothing written; the first saves.
TEST_F(ControlPanel, ASecondPanelOnAHeldFileShowsTheDefaultsAndSavesNothing) {
    WriteBytes("Kelvane.DAT", kRecord);
    CControlDlg first, second;
    ASSERT_TRUE(first.Create(IDD_CONTROL, HWND(nullptr)) && second.Create(IDD_CONTROL, HWND(nullptr)));
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_NE(g_messages[0].find("in use by another program"), std::string::npos) << g_messages[0];
    EXPECT_TRUE(GetDlgItemInt(first, IDC_DELAY, nullptr, TRUE) == 1500 && GetDlgItemInt(second, IDC_DELAY, nullptr, TRUE) == 0);
    SetDlgItemTextA(second, IDC_DELAY, "999");
    Exit(first), Exit(second), first.DestroyWindow(), second.DestroyWindow();
    EXPECT_EQ(ReadBytes("Kelvane.DAT"), kRecord);
}

// A file from outside: the command line's tail, or a drop on the panel.
TEST_F(ControlPanel, ExistingFileFromTheTailOrADropFillsTheFileFieldAnyOtherTailIsIgnored) {
    for (const wchar_t* name : {L"batchmode", L"\u00fc.srt"})
        CloseHandle(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    const std::string wide = m_dir + "\\\xC3\xBC.srt", none;  // in full, UTF-8 inside
    const std::pair<const wchar_t*, std::string> rows[] = {  // the tail is the command line's table, a quoted path end to end
        {L"K \u00fc.srt", wide}, {L"K batchmode", none}, {L"K missing.srt", none}, {L"K ..", none}};
    for (const auto& [line, want] : rows)
        EXPECT_EQ(FileFromCommandLine(line), want) << static_cast<const void*>(line);

    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    // A fixed HGLOBAL is its own pointer. The list: a relative name, two NULs at the end.
    auto* drop = static_cast<DROPFILES*>(GlobalAlloc(GPTR, sizeof(DROPFILES) + 16));
    drop->pFiles = sizeof(DROPFILES), drop->fWide = TRUE;
    lstrcpyW(reinterpret_cast<wchar_t*>(drop + 1), L"\u00fc.srt");
    SendMessageW(dlg, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    wchar_t shown[MAX_PATH] = L"";
    GetDlgItemTextW(dlg, IDC_FILE, shown, MAX_PATH);
    EXPECT_EQ(dlg.m_strFile, wide);
    EXPECT_EQ(shown, std::wstring(m_dir.begin(), m_dir.end()) + L"\\\u00fc.srt");
    dlg.DestroyWindow();
}

}  // namespace

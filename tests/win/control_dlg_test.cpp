// The panel in process, in a fresh folder: what its fields accept and where a refusal puts the focus, and a
// read-only settings file that still loads but is never written.
#include <windows.h>

#include <gtest/gtest.h>

#include "panel/ControlDlg.h"
#include "res/resource.h"
#include "win_test_util.h"

namespace {

using ControlPanel = TempFolderTest;

bool Writable(const char* path)
{
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    return h != INVALID_HANDLE_VALUE && CloseHandle(h);
}

TEST_F(ControlPanel, FieldsAreReadInOrderAndTheFirstRefusalIsReportedWithTheFocusOnIt)
{
    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    SetForegroundWindow(dlg);
    const int fields[] = {IDC_DELAY, IDC_FILE, IDC_MILLIS, IDC_MIN, IDC_SEC, IDC_HOUR};
    // Typed into the fields above; then the refused field with the message's words, or 0 when all pass;
    // then the delay and hour held after the read (a refused field and those after it keep theirs).
    const struct { const char* typed[6]; int focus; const char* words; int delay, hour; } cases[] = {
        {{" -2147483648 ", "a.srt", "999", "59", "+59", "23"}, 0, nullptr, INT32_MIN, 23},
        {{"5", "x.srt", "1000", "60", "60", "24"}, IDC_MILLIS, "0 to 999", 5, 23},
        {{"5", "x.srt", "0", "60", "60", "24"}, IDC_MIN, "0 to 59", 5, 23},
        {{"5", "x.srt", "0", "0", "60", "24"}, IDC_SEC, "0 to 59", 5, 23},
        {{"6", "x.srt", "0", "0", "0", "24"}, IDC_HOUR, "From Hour", 6, 24},
        {{"12x", "x.srt", "0", "0", "0", "1"}, IDC_DELAY, "whole number", 6, 24},
        {{"4294967296", "x.srt", "0", "0", "0", "1"}, IDC_DELAY, "too large", 6, 24},
        {{"7", "x.srt", "0", "0", "0", ""}, IDC_HOUR, "whole number", 7, 24},
        {{"-0", "", "0", "0", "0", "0"}, 0, nullptr, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        for (int i = 0; i < 6; ++i)
            SetDlgItemTextA(dlg, fields[i], c.typed[i]);
        g_messages.clear();
        EXPECT_EQ(dlg.UpdateData(true), c.focus == 0);
        EXPECT_EQ(dlg.m_nDelay, c.delay);
        EXPECT_EQ(dlg.m_nHour, c.hour);
        ASSERT_EQ(g_messages.size(), c.focus ? 1u : 0u);
        if (c.focus) {
            EXPECT_NE(g_messages[0].find(c.words), std::string::npos) << g_messages[0];
            EXPECT_EQ(GetFocus(), GetDlgItem(dlg, c.focus));
        }
    }
    dlg.DestroyWindow();
}

// Sets (+i) or clears (-i) Linux's immutable flag on Kelvane.DAT by chattr through start.exe, run outside
// the test folder so that the folder can go. Wine's handle of a Unix child may never signal, so this polls
// up to 5 s for the change instead. False outside Wine.
bool Chattr(const char* flag)
{
    auto unixName = reinterpret_cast<char*(CDECL*)(LPCWSTR)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    char* path = unixName ? unixName(L"Kelvane.DAT") : nullptr;
    if (!path)
        return false;
    std::string cmd = std::string("start.exe /unix /usr/bin/chattr ") + flag + " \"" + path + "\"";
    HeapFree(GetProcessHeap(), 0, path);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, "C:\\", &si, &pi))
        CloseHandle(pi.hThread), CloseHandle(pi.hProcess);
    for (int i = 0; i < 50 && Writable("Kelvane.DAT") != (*flag == '-'); ++i)
        Sleep(100);
    return true;
}

TEST_F(ControlPanel, ReadOnlyFileStillLoadsButIsNeverWritten)
{
    const std::string record = std::string("\xDC\x05", 2) + std::string(22, '\0') + "\x0C" "D:\\movie.srt" +
                               std::string(76, '\0');  // 1500 ms delay and the path, all else zero
    WriteBytes("Kelvane.DAT", record);
    // Unwritable also for root, whom Wine lets past the read-only attribute; undone even after a failed check.
    struct Restore {
        bool immutable = false;
        ~Restore()
        {
            if (immutable)
                Chattr("-i");
            SetFileAttributesA("Kelvane.DAT", FILE_ATTRIBUTE_NORMAL);
        }
    } restore;
    SetFileAttributesA("Kelvane.DAT", FILE_ATTRIBUTE_READONLY);
    restore.immutable = Writable("Kelvane.DAT") && Chattr("+i");
    if (Writable("Kelvane.DAT"))
        GTEST_SKIP() << "neither the read-only attribute nor chattr +i makes the file unwritable here";
    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    EXPECT_EQ(GetDlgItemInt(dlg, IDC_DELAY, nullptr, TRUE), 1500) << "loaded and shown";
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(dlg.IsWindowVisible()) << "Exit still closes the panel";
    dlg.DestroyWindow();
    EXPECT_TRUE(g_messages.empty()) << "nothing failed, nothing was written";
    EXPECT_EQ(ReadBytes("Kelvane.DAT"), record);
}

}  // namespace

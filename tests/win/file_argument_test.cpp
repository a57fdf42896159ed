// A file from outside: the command line's tail, or a drop on the panel.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "panel/ControlDlg.h"
#include "panel/FileArgument.h"
#include "res/resource.h"
#include "win_test_util.h"

namespace {

using FileArgument = TempFolderTest;

TEST_F(FileArgument, ExistingFileFromTheTailOrADropFillsTheFileFieldAnyOtherTailIsIgnored)
{
    for (const wchar_t* name : {L"a b.srt", L"batchmode", L"\u00fc.srt"})
        CloseHandle(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    const std::string full = m_dir + "\\a b.srt", wide = m_dir + "\\\xC3\xBC.srt", none;  // UTF-8 inside
    const std::pair<const wchar_t*, std::string> rows[] = {
        {L"K.exe \"a b.srt\"", full}, {L"\"C:\\x y\\K.exe\"  a b.srt", full}, {L"K \u00fc.srt", wide},
        {L"K batchmode", none}, {L"K missing.srt", none}, {L"K ..", none}, {L"K \"a b.srt", none}, {L"K", none}};
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

// A file from outside: the command line's tail, a drop on the panel, and the manifest that the program runs with.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "panel/ControlDlg.h"
#include "panel/FileArgument.h"
#include "res/resource.h"
#include "win_test_util.h"

namespace {

using FileArgument = TempFolderTest;

TEST_F(FileArgument, TailNamingAnExistingFileGivesItsFullPathAnyOtherIsIgnored)
{
    for (const wchar_t* name : {L"a b.srt", L"batchmode", L"\u00fc.srt"})
        CloseHandle(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    CreateDirectoryW(L"dir", nullptr);
    const std::string full = m_dir + "\\a b.srt";
    const std::pair<const wchar_t*, std::string> rows[] = {
        {L"K.exe \"a b.srt\"", full}, {L"\"C:\\x y\\K.exe\"  a b.srt", full},
        {L"K.exe \u00fc.srt", m_dir + "\\\xC3\xBC.srt"},  // UTF-8 inside
        {L"K.exe batchmode", ""}, {L"K.exe missing.srt", ""}, {L"K.exe dir", ""},
        {L"K.exe \"a b.srt", ""}, {L"K.exe", ""},
    };
    for (const auto& [line, want] : rows)
        EXPECT_EQ(FileFromCommandLine(line), want) << static_cast<const void*>(line);
    RemoveDirectoryW(L"dir");
}

TEST_F(FileArgument, DroppedFileFillsOnlyTheFileField)
{
    const std::wstring path = std::wstring(m_dir.begin(), m_dir.end()) + L"\\\u00fc b.srt";
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    CControlDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    SetDlgItemTextA(dlg, IDC_DELAY, "77");
    const size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);  // a list ended by two NULs
    HGLOBAL hDrop = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(hDrop));
    drop->pFiles = sizeof(DROPFILES), drop->fWide = TRUE;
    lstrcpyW(reinterpret_cast<wchar_t*>(drop + 1), path.c_str());
    GlobalUnlock(hDrop);
    SendMessageW(dlg, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
    wchar_t shown[MAX_PATH] = L"";
    GetDlgItemTextW(dlg, IDC_FILE, shown, MAX_PATH);
    EXPECT_EQ(shown, path);
    EXPECT_EQ(dlg.m_strFile, m_dir + "\\\xC3\xBC b.srt");
    EXPECT_EQ(GetDlgItemInt(dlg, IDC_DELAY, nullptr, TRUE), 77u) << "typed values stay";
    dlg.DestroyWindow();
}

TEST(Manifest, AsksForCommonControls6AndPerMonitorDpiAwareness)
{
    HRSRC hRes = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(hRes, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, hRes))),
                           SizeofResource(nullptr, hRes));
    for (const char* part : {"Microsoft.Windows.Common-Controls", "PerMonitorV2", "asInvoker", "supportedOS"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data))
        << "the manifest takes effect: comctl32 comes from the common controls 6 assembly";
}

}  // namespace

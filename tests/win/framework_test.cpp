// The framework layer under Wine: data exchange, the exception boundary, and
// the settings file's open modes and sharing. (DS_SYSMODAL and frame changes:
// the overlay's mode test.)
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Archive.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/File.h"
#include "res/resource.h"
#include "win_test_util.h"

namespace {

// A dialog on a real template that records what reaches it.
class ProbeDialog : public CDialog {
public:
    explicit ProbeDialog(UINT nID = IDD_CONTROL) : CDialog(nID) {}
    int m_nDelay = 0, m_nHour = 0, m_nCancel = 0;
    std::string m_strFile;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_DELAY, m_nDelay);
        DDX_Text(pDX, IDC_FILE, m_strFile);
        DDX_Text(pDX, IDC_HOUR, m_nHour);
        DDV_MinMaxInt(pDX, m_nHour, 0, 23);
    }
    void OnCancel() override { ++m_nCancel; }
    bool OnCommand(UINT nID, UINT, HWND) override
    {
        if (nID == IDC_FONT)
            throw CArchiveException(CArchiveException::endOfFile, "unexpected end of file");
        return false;
    }
};

using Framework = TempFolderTest;

TEST_F(Framework, DataExchangeStopsAtTheFirstFailureAndHandlerErrorsAreCaught)
{
    ProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    SetForegroundWindow(dlg);
    // In order on one dialog: a failure keeps the members of the failing field
    // (unless only out of range) and of all fields after it; focus and one message.
    const struct {
        const char *delay, *file, *hour, *words;  // typed, and the message's words (null: valid)
        int focus, nDelay; const char* strFile; int nHour;  // then focus and members
    } cases[] = {
        {" -2147483648 ", "a.srt", "+23", nullptr, 0, INT32_MIN, "a.srt", 23},
        {"5", "x.srt", "24", "0 to 23", IDC_HOUR, 5, "x.srt", 24},
        {"12x", "later.srt", "1", "whole number", IDC_DELAY, 5, "x.srt", 24},
        {"4294967296", "later.srt", "1", "too large", IDC_DELAY, 5, "x.srt", 24},
        {"-2147483649", "later.srt", "1", "too small", IDC_DELAY, 5, "x.srt", 24},
        {"1", "later.srt", "", "whole number", IDC_HOUR, 1, "later.srt", 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.delay) + "|" + c.file + "|" + c.hour);
        SetDlgItemTextA(dlg, IDC_DELAY, c.delay);
        SetDlgItemTextA(dlg, IDC_FILE, c.file);
        SetDlgItemTextA(dlg, IDC_HOUR, c.hour);
        g_messages.clear();
        EXPECT_EQ(dlg.UpdateData(true), c.words == nullptr);
        EXPECT_EQ(dlg.m_nDelay, c.nDelay);
        EXPECT_EQ(dlg.m_strFile, c.strFile);
        EXPECT_EQ(dlg.m_nHour, c.nHour);
        ASSERT_EQ(g_messages.size(), c.words ? 1u : 0u);
        if (c.words) {
            EXPECT_NE(g_messages[0].find(c.words), std::string::npos) << g_messages[0];
            const char* field = c.focus == IDC_HOUR ? "From Hour" : "Delay in milliseconds";  // its label
            EXPECT_NE(g_messages[0].find(field), std::string::npos) << g_messages[0];
            EXPECT_EQ(GetFocus(), GetDlgItem(dlg, c.focus));
        }
    }
    // The exception boundary: an archive error in a handler is reported as
    // unreadable settings, and the window goes on working.
    g_messages.clear();
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_FONT, BN_CLICKED), 0);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_NE(g_messages[0].find("Kelvane.DAT"), std::string::npos) << g_messages[0];
    EXPECT_NE(g_messages[0].find("could not be read"), std::string::npos) << g_messages[0];
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(dlg.m_nCancel, 1) << "still dispatching";
    dlg.DestroyWindow();
}

TEST_F(Framework, FileOpenModesNeverTruncateAndShareNothing)
{
    const unsigned kReadWrite = CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite;
    ASSERT_EQ(kReadWrite, 0x3002u);
    CFile a, b;
    EXPECT_FALSE(a.Open("f.dat", CFile::modeRead));
    EXPECT_EQ(GetFileAttributesA("f.dat"), INVALID_FILE_ATTRIBUTES) << "the read-only probe creates nothing";
    ASSERT_TRUE(a.Open("f.dat", kReadWrite));
    EXPECT_EQ(a.GetLength(), 0);
    a.Close();
    WriteBytes("f.dat", "0123456789");
    ASSERT_TRUE(a.Open("f.dat", kReadWrite));
    EXPECT_EQ(a.GetLength(), 10) << "never truncated";
    ASSERT_TRUE(a.Write("ab", 2));
    EXPECT_FALSE(b.Open("f.dat", CFile::modeRead)) << "share none";
    EXPECT_FALSE(b.Open("f.dat", kReadWrite));
    a.Close();
    EXPECT_EQ(ReadBytes("f.dat"), "ab23456789");
    ASSERT_TRUE(a.Open("f.dat", CFile::modeRead));
    EXPECT_FALSE(a.Write("x", 1)) << "a read-only open cannot write";
    EXPECT_FALSE(b.Open("f.dat", kReadWrite)) << "a reader keeps writers out";
    EXPECT_FALSE(b.Open("f.dat", CFile::modeRead)) << "and other readers";
}

}  // namespace

// The panel's sound fixes under Wine, in a fresh folder: a second instance
// never writes, and after a failed load the font starts from the panel's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "panel/ControlDlg.h"
#include "res/resource.h"
#include "win_test_util.h"

namespace {

using ControlPanel = TempFolderTest;

void PressExit(HWND hPanel) { SendMessageA(hPanel, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

TEST_F(ControlPanel, SecondInstanceStartsWithDefaultsAndNeverWrites)
{
    {
        CControlDlg first;  // creates an empty Kelvane.DAT and holds it
        CControlDlg second;
        EXPECT_FALSE(second.m_bCanSave);
        ASSERT_TRUE(second.Create(IDD_CONTROL, HWND(nullptr)));
        SetDlgItemTextA(second, IDC_DELAY, "7");
        PressExit(second);
        EXPECT_TRUE(g_messages.empty());
        EXPECT_FALSE(second.IsWindowVisible()) << "Exit still closes the panel";
        second.DestroyWindow();
    }  // the first ends without Exit: it writes nothing either
    EXPECT_NE(GetFileAttributesA("Kelvane.DAT"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadBytes("Kelvane.DAT"), "");
}

TEST_F(ControlPanel, FailedLoadReportsAndStartsFromThePanelsFont)
{
    // An empty file and one cut inside the path: both fail to load.
    for (const std::string& bytes : {std::string(), std::string(24, '\x01') + "\x0C" + "D:\\mo"}) {
        SCOPED_TRACE(bytes.size());
        WriteBytes("Kelvane.DAT", bytes);
        g_messages.clear();
        CControlDlg dlg;
        ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
        ASSERT_EQ(g_messages.size(), 1u);
        EXPECT_NE(g_messages[0].find("Kelvane.DAT"), std::string::npos) << g_messages[0];
        LOGFONTA own;
        dlg.GetDialogFont(&own);
        EXPECT_EQ(std::memcmp(&own, &dlg.m_lfFont, sizeof own), 0);
        EXPECT_EQ(dlg.m_font.GetSafeHandle(), nullptr);
        PressExit(dlg);
        dlg.DestroyWindow();
        const std::string saved = ReadBytes("Kelvane.DAT");
        ASSERT_EQ(saved.size(), 101u) << "Exit repairs the file";
        EXPECT_EQ(saved.substr(69, 32), std::string(own.lfFaceName, 32)) << "with the panel's font";
    }
}

}  // namespace

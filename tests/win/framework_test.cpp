// The framework layer under Wine: data exchange, the settings file's open
// modes, the archive over a real file, dialogs (modal loop, modeless
// lifetime, default processing, styles) and the exception boundary.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/CommonDialogs.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/File.h"
#include "framework/Report.h"
#include "panel/SettingsRecord.h"
#include "res/resource.h"

namespace {

// Messages the layer showed, captured instead of message boxes.
std::vector<std::string> g_messages;
int CaptureMessage(HWND, const std::string& text, UINT)
{
    g_messages.push_back(text);
    return IDOK;
}

class MessageCapture {
public:
    MessageCapture() : m_previous(SetMessageHook(CaptureMessage)) { g_messages.clear(); }
    ~MessageCapture() { SetMessageHook(m_previous); }

private:
    MessageHook m_previous;
};

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "kelvane_fw_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

std::string ReadAll(const std::string& path)
{
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Runs the messages waiting for this thread.
void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---------------------------------------------------------------------------
TEST(NumberParsing, AcceptsWholeSignedDecimalsOnly)
{
    int value = 7;
    EXPECT_EQ(ParseDecimalInt32("0", value), NumberParse::ok);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(ParseDecimalInt32("  -42 ", value), NumberParse::ok);
    EXPECT_EQ(value, -42);
    EXPECT_EQ(ParseDecimalInt32("+15", value), NumberParse::ok);
    EXPECT_EQ(value, 15);
    EXPECT_EQ(ParseDecimalInt32("2147483647", value), NumberParse::ok);
    EXPECT_EQ(value, 2147483647);
    EXPECT_EQ(ParseDecimalInt32("-2147483648", value), NumberParse::ok);
    EXPECT_EQ(value, INT32_MIN);

    value = 5;
    for (const char* bad : {"", " ", "-", "12a", "1 2", "0x10", "1.5", "a1", "--1"}) {
        EXPECT_EQ(ParseDecimalInt32(bad, value), NumberParse::notNumber) << '"' << bad << '"';
    }
    for (const char* big : {"2147483648", "-2147483649", "99999999999999999999999"}) {
        EXPECT_EQ(ParseDecimalInt32(big, value), NumberParse::outOfRange) << big;
    }
    EXPECT_EQ(value, 5) << "a failed read leaves the value alone";
}

TEST(FileChooserFilter, BarsBecomeNulSeparators)
{
    const std::string filter = ConvertFilterString("Subrip files(*.srt)|*.srt|All Files (*.*)|*.*||");
    const std::string expected("Subrip files(*.srt)\0*.srt\0All Files (*.*)\0*.*\0\0", 47);
    EXPECT_EQ(filter, expected);
    // The platform reads up to the double NUL; c_str() adds the final one.
    EXPECT_EQ(std::string(ConvertFilterString("A|*.a").c_str(), 6), std::string("A\0*.a\0", 6));
}

// ---------------------------------------------------------------------------
class FileModes : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = TempPath("file.dat");
        SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(m_path.c_str());
    }
    void TearDown() override
    {
        SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(m_path.c_str());
    }
    std::string m_path;
    static constexpr unsigned kReadWriteCreate = CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite;
};

TEST_F(FileModes, ReadOnlyOpenNeedsAnExistingFile)
{
    CFile file;
    EXPECT_FALSE(file.Open(m_path.c_str(), CFile::modeRead));
    EXPECT_EQ(GetFileAttributesA(m_path.c_str()), INVALID_FILE_ATTRIBUTES) << "the probe must not create the file";
    WriteAll(m_path, "abc");
    ASSERT_TRUE(file.Open(m_path.c_str(), CFile::modeRead));
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_FALSE(file.Write("x", 1)) << "a read-only open cannot write";
}

TEST_F(FileModes, ReadWriteOpenCreatesEmptyAndNeverTruncates)
{
    ASSERT_EQ(kReadWriteCreate, 0x3002u);
    {
        CFile file;
        ASSERT_TRUE(file.Open(m_path.c_str(), kReadWriteCreate));
        EXPECT_EQ(file.GetLength(), 0);
    }
    EXPECT_EQ(ReadAll(m_path), "");
    WriteAll(m_path, "0123456789");
    CFile file;
    ASSERT_TRUE(file.Open(m_path.c_str(), kReadWriteCreate));
    EXPECT_EQ(file.GetLength(), 10) << "existing contents stay";
    ASSERT_TRUE(file.Write("ab", 2));
    file.SeekToBegin();
    char buffer[4] = {};
    EXPECT_EQ(file.Read(buffer, 3), 3u);
    EXPECT_STREQ(buffer, "ab2");
    file.Close();
    EXPECT_EQ(ReadAll(m_path), "ab23456789");
}

TEST_F(FileModes, NoSharingWhileOpen)
{
    CFile holder;
    ASSERT_TRUE(holder.Open(m_path.c_str(), kReadWriteCreate));
    CFile other;
    EXPECT_FALSE(other.Open(m_path.c_str(), CFile::modeRead));
    EXPECT_FALSE(other.Open(m_path.c_str(), kReadWriteCreate));
    holder.Close();
    EXPECT_TRUE(other.Open(m_path.c_str(), CFile::modeRead));
    // A read-only holder keeps writers out as well.
    CFile writer;
    EXPECT_FALSE(writer.Open(m_path.c_str(), kReadWriteCreate));
}

TEST_F(FileModes, UnknownFlagsAreRefused)
{
    CFile file;
    EXPECT_FALSE(file.Open(m_path.c_str(), 0x0040));
    EXPECT_FALSE(file.Open(m_path.c_str(), 0x0003));
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(FileModes, ReadOnlyAttributeRefusesReadWriteButAllowsRead)
{
    WriteAll(m_path, "keep");
    ASSERT_TRUE(SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_READONLY));
    CFile file;
    HANDLE h = CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        GTEST_SKIP() << "this system lets a read-only file be opened for writing (a superuser under Wine)";
    }
    EXPECT_FALSE(file.Open(m_path.c_str(), kReadWriteCreate));
    EXPECT_TRUE(file.Open(m_path.c_str(), CFile::modeRead));
}

TEST_F(FileModes, ArchiveOverFileWritesTheRecordAtTheStartAndKeepsTheTail)
{
    CSettingsRecord record;
    record.m_nDelay = 1500;
    record.m_nMin = 10;
    record.m_crText = 0x00FFFFFF;
    record.m_strFile = std::string(40, 'p');
    {
        CFile file;
        ASSERT_TRUE(file.Open(m_path.c_str(), kReadWriteCreate));
        CArchive store(&file, CArchive::store);
        record.SerializeRecord(store);
        store.Flush();
    }
    const std::string longer = ReadAll(m_path);
    ASSERT_EQ(longer.size(), 100u + 1 + 40);

    record.m_strFile = "D:\\movie.srt";
    {
        CFile file;
        ASSERT_TRUE(file.Open(m_path.c_str(), kReadWriteCreate));
        file.SeekToBegin();
        CArchive store(&file, CArchive::store);
        record.SerializeRecord(store);
        store.Flush();
    }
    const std::string shorter = ReadAll(m_path);
    ASSERT_EQ(shorter.size(), longer.size()) << "the file keeps its length";
    EXPECT_EQ(shorter.substr(113), longer.substr(113)) << "the old tail stays";
    EXPECT_EQ(shorter.substr(0, 4), std::string("\xDC\x05\x00\x00", 4));

    CFile file;
    ASSERT_TRUE(file.Open(m_path.c_str(), CFile::modeRead));
    CArchive load(&file, CArchive::load);
    CSettingsRecord loaded;
    loaded.SerializeRecord(load);
    EXPECT_EQ(loaded.m_strFile, "D:\\movie.srt");
    EXPECT_EQ(loaded.m_nDelay, 1500);
    EXPECT_EQ(loaded.m_crText, 0x00FFFFFFu);
}

// ---------------------------------------------------------------------------
// A dialog on the panel's template that records what reaches it.
class ProbeDialog : public CDialog {
public:
    explicit ProbeDialog(UINT nID = IDD_CONTROL) : CDialog(nID) {}

    int m_nPosChangedBeforeInit = -1;
    int m_nInit = 0, m_nOK = 0, m_nCancel = 0, m_nPosChanged = 0, m_nClose = 0;
    int m_nDelay = 0, m_nHour = 0;
    std::string m_strFile;
    bool m_bThrowArchive = false, m_bThrowOther = false;
    bool m_bDestroyOnClose = false, m_bDefaultFirst = false;
    int m_nSysCommand = 0, m_nCloseInsideDefault = 0;
    bool* m_pDestroyedFlag = nullptr;
    void (*m_onInit)(ProbeDialog*) = nullptr;

    using CDialog::Default;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_DELAY, m_nDelay);
        DDX_Text(pDX, IDC_FILE, m_strFile);
        DDX_Text(pDX, IDC_HOUR, m_nHour);
        DDV_MinMaxInt(pDX, m_nHour, 0, 23);
    }
    BOOL OnInitDialog() override
    {
        ++m_nInit;
        m_nPosChangedBeforeInit = m_nPosChanged;
        CDialog::OnInitDialog();
        if (m_onInit)
            m_onInit(this);
        return TRUE;
    }
    void OnOK() override
    {
        ++m_nOK;
        if (IsModal())
            EndDialog(IDOK);
    }
    void OnCancel() override
    {
        ++m_nCancel;
        CDialog::OnCancel();
    }
    bool OnCommand(UINT nID, UINT, HWND) override
    {
        if (nID == IDC_FONT && m_bThrowArchive)
            throw CArchiveException(CArchiveException::endOfFile, "unexpected end of file");
        if (nID == IDC_FONT && m_bThrowOther)
            throw std::runtime_error("boom");
        return false;
    }
    bool OnWindowPosChanged(WINDOWPOS*) override
    {
        ++m_nPosChanged;
        return false;
    }
    bool OnSysCommand(UINT, LPARAM) override
    {
        if (!m_bDefaultFirst)
            return false;
        ++m_nSysCommand;
        const int closesBefore = m_nClose;
        Default();  // the platform's work happens inside this call
        m_nCloseInsideDefault = m_nClose - closesBefore;
        return true;
    }
    bool OnClose() override
    {
        ++m_nClose;
        if (m_bDestroyOnClose) {
            DestroyWindow();  // the object may be gone when this returns
            return true;
        }
        return false;
    }
    void PostNcDestroy() override
    {
        if (m_pDestroyedFlag) {
            *m_pDestroyedFlag = true;
            delete this;
        }
    }
};

TEST(DataExchange, ShowsMembersAndReadsThemBack)
{
    MessageCapture capture;
    ProbeDialog dlg;
    dlg.m_nDelay = -250;
    dlg.m_strFile = "C:\\films\\a.srt";
    dlg.m_nHour = 7;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    char text[64];
    GetDlgItemTextA(dlg, IDC_DELAY, text, sizeof text);
    EXPECT_STREQ(text, "-250");
    GetDlgItemTextA(dlg, IDC_FILE, text, sizeof text);
    EXPECT_STREQ(text, "C:\\films\\a.srt");

    SetDlgItemTextA(dlg, IDC_DELAY, "  1200 ");
    SetDlgItemTextA(dlg, IDC_FILE, "");
    SetDlgItemTextA(dlg, IDC_HOUR, "23");
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_nDelay, 1200);
    EXPECT_EQ(dlg.m_strFile, "");
    EXPECT_EQ(dlg.m_nHour, 23);
    EXPECT_TRUE(g_messages.empty());
    dlg.DestroyWindow();
}

TEST(DataExchange, FirstFailureStopsWithMessageAndFocus)
{
    MessageCapture capture;
    ProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    SetForegroundWindow(dlg);

    // A number outside its range: the member holds it, the message names the range.
    SetDlgItemTextA(dlg, IDC_DELAY, "5");
    SetDlgItemTextA(dlg, IDC_FILE, "x.srt");
    SetDlgItemTextA(dlg, IDC_HOUR, "24");
    EXPECT_FALSE(dlg.UpdateData(true));
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_NE(g_messages[0].find("0 to 23"), std::string::npos) << g_messages[0];
    EXPECT_NE(g_messages[0].find("From Hour"), std::string::npos) << "names the field: " << g_messages[0];
    EXPECT_EQ(dlg.m_nDelay, 5);
    EXPECT_EQ(dlg.m_strFile, "x.srt");
    EXPECT_EQ(dlg.m_nHour, 24);
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_HOUR));

    // Text that is no number: the fields after it are not read.
    g_messages.clear();
    SetDlgItemTextA(dlg, IDC_DELAY, "12x");
    SetDlgItemTextA(dlg, IDC_FILE, "later.srt");
    EXPECT_FALSE(dlg.UpdateData(true));
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_NE(g_messages[0].find("whole number"), std::string::npos) << g_messages[0];
    EXPECT_NE(g_messages[0].find("Delay in milliseconds"), std::string::npos) << g_messages[0];
    EXPECT_EQ(dlg.m_nDelay, 5) << "a field that does not read keeps its member";
    EXPECT_EQ(dlg.m_strFile, "x.srt") << "fields after the failure are not read";
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_DELAY));

    // Beyond 32 bits.
    g_messages.clear();
    SetDlgItemTextA(dlg, IDC_DELAY, "4294967296");
    EXPECT_FALSE(dlg.UpdateData(true));
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_NE(g_messages[0].find("too large"), std::string::npos) << g_messages[0];
    dlg.DestroyWindow();
}

TEST(DialogLifetime, ModelessDeletesItselfAfterItsLastMessage)
{
    bool destroyed = false;
    auto* dlg = new ProbeDialog;
    dlg->m_pDestroyedFlag = &destroyed;
    dlg->m_bDestroyOnClose = true;
    ASSERT_TRUE(dlg->Create(IDD_CONTROL, GetDesktopWindow()));
    HWND hWnd = *dlg;
    EXPECT_EQ(dlg->m_nInit, 1);
    EXPECT_TRUE(CDialog::IsOwnDialog(hWnd));
    // WM_CLOSE's handler destroys the window; the object is deleted from the
    // window's last message while that handler is still on the stack.
    SendMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_FALSE(CDialog::IsOwnDialog(hWnd));
}

TEST(DialogLifetime, CreateFailsForAMissingTemplate)
{
    ProbeDialog dlg(4242);
    EXPECT_FALSE(dlg.Create(4242, HWND(nullptr)));
    EXPECT_EQ(dlg.DoModal(), -1);
}

TEST(DialogStyles, SysModalTemplateIsTopmostOthersAreNot)
{
    ProbeDialog overlay(IDD_SUBTITLE);
    ASSERT_TRUE(overlay.Create(IDD_SUBTITLE, GetDesktopWindow()));
    EXPECT_TRUE(overlay.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_EQ(overlay.m_nPosChangedBeforeInit, 0) << "the topmost step happens before the object sees messages";
    ProbeDialog panel;
    ASSERT_TRUE(panel.Create(IDD_CONTROL, HWND(nullptr)));
    EXPECT_FALSE(panel.GetExStyle() & WS_EX_TOPMOST);
    overlay.DestroyWindow();
    panel.DestroyWindow();
}

TEST(DialogStyles, ModifyStyleReappliesTheFrameOnlyWhenAsked)
{
    ProbeDialog dlg(IDD_SUBTITLE);
    ASSERT_TRUE(dlg.Create(IDD_SUBTITLE, GetDesktopWindow()));
    RECT before, clientBefore;
    dlg.GetWindowRect(&before);
    dlg.GetClientRect(&clientBefore);
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

    // No change, no frame work.
    int seen = dlg.m_nPosChanged;
    EXPECT_FALSE(dlg.ModifyStyle(0, WS_CAPTION, SWP_FRAMECHANGED));
    EXPECT_EQ(dlg.m_nPosChanged, seen);

    // A change without flags is stored but the frame stays.
    EXPECT_TRUE(dlg.ModifyStyleEx(0, WS_EX_TRANSPARENT, 0));
    EXPECT_TRUE(dlg.GetExStyle() & WS_EX_TRANSPARENT);
    EXPECT_EQ(dlg.m_nPosChanged, seen);

    // Frame removed and re-applied: same outer rectangle, larger client area,
    // and the position message arrived before the call returned.
    EXPECT_TRUE(dlg.ModifyStyle(frame, 0, SWP_FRAMECHANGED));
    EXPECT_GT(dlg.m_nPosChanged, seen);
    RECT after, clientAfter;
    dlg.GetWindowRect(&after);
    dlg.GetClientRect(&clientAfter);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(clientAfter.right, after.right - after.left);
    EXPECT_EQ(clientAfter.bottom, after.bottom - after.top);
    EXPECT_GT(clientAfter.bottom, clientBefore.bottom);
    EXPECT_TRUE(dlg.GetExStyle() & WS_EX_TOPMOST) << "other style bits stay";

    seen = dlg.m_nPosChanged;
    EXPECT_TRUE(dlg.ModifyStyle(0, frame, SWP_FRAMECHANGED));
    EXPECT_GT(dlg.m_nPosChanged, seen);
    dlg.GetWindowRect(&after);
    EXPECT_TRUE(EqualRect(&before, &after));
    dlg.GetClientRect(&clientAfter);
    EXPECT_TRUE(EqualRect(&clientBefore, &clientAfter));
    dlg.DestroyWindow();
}

TEST(DialogStyles, RectangleConversionsUseBothCorners)
{
    ProbeDialog dlg(IDD_SUBTITLE);
    ASSERT_TRUE(dlg.Create(IDD_SUBTITLE, GetDesktopWindow()));
    RECT client;
    dlg.GetClientRect(&client);
    RECT screen = client;
    dlg.ClientToScreen(&screen);
    POINT origin{0, 0};
    ::ClientToScreen(dlg, &origin);
    EXPECT_EQ(screen.left, origin.x);
    EXPECT_EQ(screen.top, origin.y);
    EXPECT_EQ(screen.right - screen.left, client.right);
    dlg.ScreenToClient(&screen);
    EXPECT_TRUE(EqualRect(&screen, &client));
    dlg.DestroyWindow();
}

TEST(ExceptionBoundary, ArchiveErrorIsReportedAsUnreadableSettingsAndWindowGoesOn)
{
    MessageCapture capture;
    ProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    dlg.m_bThrowArchive = true;
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_FONT, BN_CLICKED), 0);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_NE(g_messages[0].find("Kelvane.DAT"), std::string::npos);
    EXPECT_NE(g_messages[0].find("could not be read"), std::string::npos);

    dlg.m_bThrowArchive = false;
    dlg.m_bThrowOther = true;
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_FONT, BN_CLICKED), 0);
    ASSERT_EQ(g_messages.size(), 2u);
    EXPECT_EQ(g_messages[1].find("Kelvane.DAT"), std::string::npos) << "other errors get the generic words";

    // Still alive and dispatching.
    EXPECT_TRUE(IsWindow(dlg));
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(dlg.m_nCancel, 1);
    dlg.DestroyWindow();
}

// ---------------------------------------------------------------------------
// The modal loop: keyboard navigation for the modal dialog and for a modeless
// dialog living inside its loop.
ProbeDialog* g_modeless = nullptr;

TEST(ModalLoop, EscapeInTheModalDialogEndsItWithCancel)
{
    ProbeDialog dlg;
    dlg.m_onInit = [](ProbeDialog* self) {
        PostMessageA(GetDlgItem(*self, IDC_FILE), WM_KEYDOWN, VK_ESCAPE, 0);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_nCancel, 1);
    EXPECT_FALSE(IsWindow(dlg.m_hWnd)) << "DoModal destroys its window";
}

TEST(ModalLoop, EnterInTheModalDialogIsTheDefaultButton)
{
    ProbeDialog dlg;
    dlg.m_onInit = [](ProbeDialog* self) {
        PostMessageA(GetDlgItem(*self, IDC_HOUR), WM_KEYDOWN, VK_RETURN, 0);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nOK, 1);
}

TEST(ModalLoop, ModelessDialogGetsKeyboardNavigationToo)
{
    ProbeDialog dlg;
    ProbeDialog modeless;
    g_modeless = &modeless;
    dlg.m_onInit = [](ProbeDialog* self) {
        ASSERT_TRUE(g_modeless->Create(IDD_CONTROL, GetDesktopWindow()));
        // Escape in the modeless dialog reaches its OnCancel through the loop;
        // then the modal one is ended by a later message.
        PostMessageA(GetDlgItem(*g_modeless, IDC_FILE), WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(*self, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(modeless.m_nCancel, 1);
    EXPECT_FALSE(modeless.IsWindowVisible()) << "a modeless dialog's cancel hides it";
    g_modeless = nullptr;
    modeless.DestroyWindow();
}

TEST(DefaultProcessing, UnhandledCloseRequestBecomesCancel)
{
    ProbeDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    SendMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_EQ(dlg.m_nClose, 1);
    EXPECT_EQ(dlg.m_nCancel, 1) << "the dialog default turns WM_CLOSE into IDCANCEL";
    dlg.DestroyWindow();
}

TEST(DefaultProcessing, DefaultInsideAHandlerDoesThePlatformWorkOnce)
{
    ProbeDialog dlg;
    dlg.m_bDefaultFirst = true;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL, HWND(nullptr)));
    SendMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_EQ(dlg.m_nSysCommand, 1) << "the handler is not re-entered by its own Default()";
    EXPECT_EQ(dlg.m_nCloseInsideDefault, 1) << "messages caused by the default reach their handlers";
    EXPECT_EQ(dlg.m_nCancel, 1);
    dlg.DestroyWindow();
}

}  // namespace

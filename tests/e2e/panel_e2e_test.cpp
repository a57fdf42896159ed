// The control panel driven from outside: the real Kelvane.exe in a fresh folder,
// its fields typed and its buttons clicked with window messages, the settings
// file "Kelvane.DAT" read back byte for byte.
#include "Harness.h"

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <memory>

namespace e2e {
namespace {

// Control ids of the panel.
constexpr int IDC_FILE = 1000;
constexpr int IDC_BROWSE = 1002;
constexpr int IDC_FONT = 1005;
constexpr int IDC_DELAY = 1006;
constexpr int IDC_HOUR = 1012;
constexpr int IDC_MIN = 1013;
constexpr int IDC_SEC = 1014;
constexpr int IDC_MILLIS = 1015;
constexpr WPARAM IDM_ABOUTBOX = 0x0010;

int Dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// A complete record with every field set to something other than its default.
Settings SampleSettings() {
    Settings s;
    s.delay = 1500;
    s.hour = 1;
    s.min = 2;
    s.sec = 3;
    s.millis = 4;
    s.color = 0x00336699;
    s.file = "C:\\films\\movie.srt";
    s.overlay = RECT{100, 600, 900, 700};
    s.font = MakeFont("Liberation Sans", -37, FW_BOLD);
    return s;
}

std::wstring W(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

class PanelTest : public testing::Test {
protected:
    // Declared before the program, so the program ends before its folder goes.
    TempFolder folder;
    std::unique_ptr<Program> app;
    HWND panel = nullptr;

    void WriteSettings(const Bytes& bytes) { folder.Write(kSettingsFile, bytes); }
    Bytes ReadSettings() const { return folder.Read(kSettingsFile); }

    // Starts Kelvane and waits for its panel.
    void Launch(const std::wstring& tail = L"") {
        app = std::make_unique<Program>(folder, tail);
        panel = app->WaitForPanel();
        ASSERT_NE(panel, nullptr) << "the control panel did not appear";
    }

    // Clicks Exit (posted: an invalid field shows a message first) and waits for
    // the process to end.
    void ExitAndWait() {
        PostClick(panel, IDCANCEL);
        ASSERT_TRUE(app->WaitForExit()) << "Kelvane did not end after Exit";
    }

    // Waits for a message box, checks it names `expected`, and dismisses it.
    void ExpectMessage(const std::wstring& expected, std::wstring* text = nullptr) {
        HWND box = app->WaitForMessageBox({panel});
        ASSERT_NE(box, nullptr) << "no message box appeared";
        const std::wstring words = MessageText(box);
        EXPECT_NE(words.find(expected), std::wstring::npos) << "message: " << std::string(words.begin(), words.end());
        if (text) *text = words;
        PostClick(box, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "the message box did not close";
    }

    void TypeTime(const wchar_t* hour, const wchar_t* min, const wchar_t* sec, const wchar_t* millis) {
        SetItemText(panel, IDC_HOUR, hour);
        SetItemText(panel, IDC_MIN, min);
        SetItemText(panel, IDC_SEC, sec);
        SetItemText(panel, IDC_MILLIS, millis);
    }

    void ExpectFields(const wchar_t* delay, const std::wstring& file, const wchar_t* hour, const wchar_t* min,
                      const wchar_t* sec, const wchar_t* millis) {
        EXPECT_EQ(ItemText(panel, IDC_DELAY), delay);
        EXPECT_EQ(ItemText(panel, IDC_FILE), file);
        EXPECT_EQ(ItemText(panel, IDC_HOUR), hour);
        EXPECT_EQ(ItemText(panel, IDC_MIN), min);
        EXPECT_EQ(ItemText(panel, IDC_SEC), sec);
        EXPECT_EQ(ItemText(panel, IDC_MILLIS), millis);
    }

    // The saved record; fails the test when the file holds none.
    Settings Saved() {
        const std::optional<Settings> s = DecodeSettings(ReadSettings());
        EXPECT_TRUE(s.has_value()) << "Kelvane.DAT holds no complete record (" << ReadSettings().size()
                                   << " bytes)";
        return s.value_or(Settings{});
    }

    // True when the panel is the only visible window of the process.
    bool PanelAlone() const {
        const std::vector<HWND> windows = app->Windows();
        return windows.size() == 1 && windows[0] == panel;
    }
};

// ---- The panel as it opens -------------------------------------------------

TEST_F(PanelTest, ShowsItsControlsInTemplateOrder) {
    Launch();
    EXPECT_EQ(WindowText(panel), L"Kelvane");
    const LONG_PTR style = Style(panel);
    for (LONG_PTR bit : std::initializer_list<LONG_PTR>{WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, DS_MODALFRAME})
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    EXPECT_TRUE(ExStyle(panel) & WS_EX_APPWINDOW);

    // Creation order is the tab order.
    const std::vector<int> ids = {-1, IDC_FILE, IDC_BROWSE, -1, IDC_DELAY, IDC_FONT, -1, IDC_HOUR,
                                  -1, IDC_MIN, -1, IDC_SEC, -1, IDC_MILLIS, IDOK, IDCANCEL};
    std::vector<int> seen;
    for (HWND c = GetWindow(panel, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        seen.push_back(static_cast<int>(static_cast<short>(GetDlgCtrlID(c))));
    EXPECT_EQ(seen, ids);

    EXPECT_EQ(ItemText(panel, IDC_BROWSE), L"Browse");
    EXPECT_EQ(ItemText(panel, IDC_FONT), L"Font");
    EXPECT_EQ(ItemText(panel, IDOK), L"Start");
    EXPECT_EQ(ItemText(panel, IDCANCEL), L"Exit");
    EXPECT_EQ(Style(GetDlgItem(panel, IDOK)) & 0xF, BS_DEFPUSHBUTTON);
    for (int id : {IDC_DELAY, IDC_HOUR, IDC_MIN, IDC_SEC, IDC_MILLIS})
        EXPECT_TRUE(Style(GetDlgItem(panel, id)) & ES_NUMBER) << id;
    EXPECT_FALSE(Style(GetDlgItem(panel, IDC_FILE)) & ES_NUMBER);

    // The focus starts in the path field.
    EXPECT_EQ(FocusedId(panel), IDC_FILE);
}

TEST_F(PanelTest, NumberFieldsTakeOnlyDigitsFromTheKeyboard) {
    Launch();
    SetItemText(panel, IDC_HOUR, L"");
    // Move the focus to the hour field the way the dialog manager does.
    PostMessageW(panel, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(panel, IDC_HOUR)), TRUE);
    ASSERT_TRUE(WaitUntil([&] { return FocusedId(panel) == IDC_HOUR; }));
    for (wchar_t ch : std::wstring(L"-1a2"))
        TypeChar(panel, ch);
    ASSERT_TRUE(WaitUntil([&] { return ItemText(panel, IDC_HOUR) == L"12"; }))
        << "hour field shows " << std::string(ItemText(panel, IDC_HOUR).begin(), ItemText(panel, IDC_HOUR).end());
}

// ---- First run, saving and loading -----------------------------------------

TEST_F(PanelTest, FirstRunCreatesAnEmptyFileAndExitWritesAFullRecord) {
    ASSERT_FALSE(folder.Exists(kSettingsFile));
    Launch();
    // Created at start-up, empty, long before anything is saved into it.
    EXPECT_EQ(folder.FileSize(kSettingsFile), std::optional<uint64_t>(0));
    ExpectFields(L"0", L"", L"0", L"0", L"0", L"0");
    EXPECT_TRUE(PanelAlone()) << "a first run reports nothing";

    ExitAndWait();
    const Bytes bytes = ReadSettings();
    ASSERT_EQ(bytes.size(), 101u) << "a record with an empty path is 101 bytes";
    const Settings s = Saved();
    EXPECT_EQ(s.delay, 0);
    EXPECT_EQ(s.hour, 0);
    EXPECT_EQ(s.min, 0);
    EXPECT_EQ(s.sec, 0);
    EXPECT_EQ(s.millis, 0);
    EXPECT_EQ(s.color, 0u);
    EXPECT_EQ(s.file, "");
    EXPECT_EQ(s.overlay.left, 0);
    EXPECT_EQ(s.overlay.top, 0);
    EXPECT_EQ(s.overlay.right, 0);
    EXPECT_EQ(s.overlay.bottom, 0);
    // The panel's own font, from its template: "MS Sans Serif", 8 points.
    EXPECT_EQ(FaceName(s.font), "MS Sans Serif");
    EXPECT_EQ(s.font.lfHeight, -MulDiv(8, Dpi(), 72));
}

TEST_F(PanelTest, TypedValuesAreSavedByteForByte) {
    Settings saved = SampleSettings();
    WriteSettings(EncodeSettings(saved));
    Launch();
    SetItemText(panel, IDC_DELAY, L"250");
    SetItemText(panel, IDC_FILE, L"D:\\movie.srt");
    TypeTime(L"23", L"59", L"58", L"999");
    ExitAndWait();

    // Colour, rectangle and font come back exactly as they were loaded.
    Settings expected = saved;
    expected.delay = 250;
    expected.file = "D:\\movie.srt";
    expected.hour = 23;
    expected.min = 59;
    expected.sec = 58;
    expected.millis = 999;
    const Bytes bytes = ReadSettings();
    const Bytes want = EncodeSettings(expected);
    // The old record was longer; its last bytes stay behind the new one.
    ASSERT_EQ(bytes.size(), RecordLength(saved));
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + want.size()), want);
}

TEST_F(PanelTest, SavedFileIsShownUnchangedIncludingValuesOutOfRange) {
    Settings saved = SampleSettings();
    saved.delay = -250;
    saved.hour = 30;
    saved.min = 7;
    saved.sec = 8;
    saved.millis = 9;
    saved.color = 0x7F112233;  // a high byte set: taken as it is
    const Bytes original = EncodeSettings(saved);
    WriteSettings(original);
    Launch();
    ExpectFields(L"-250", W(saved.file), L"30", L"7", L"8", L"9");
    Pump(300);
    EXPECT_TRUE(PanelAlone()) << "loading does not validate";

    // Exit validates: the hour is out of range, but the save still goes ahead,
    // and every value (the hour of 30 too) is written back as it was.
    PostClick(panel, IDCANCEL);
    ExpectMessage(L"23");
    ASSERT_TRUE(app->WaitForExit());
    EXPECT_EQ(ReadSettings(), original);
}

TEST_F(PanelTest, LongerOldRecordKeepsItsTailAfterAShorterSave) {
    Settings saved = SampleSettings();
    saved.file = std::string(40, 'p');
    const Bytes old = EncodeSettings(saved);
    WriteSettings(old);
    Launch();
    EXPECT_EQ(ItemText(panel, IDC_FILE), W(saved.file));
    SetItemText(panel, IDC_FILE, L"C:\\a\\b.srt");  // 10 bytes
    ExitAndWait();

    Settings expected = saved;
    expected.file = "C:\\a\\b.srt";
    const Bytes want = EncodeSettings(expected);
    const Bytes bytes = ReadSettings();
    ASSERT_EQ(bytes.size(), old.size()) << "the file is never truncated";
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + want.size()), want);
    EXPECT_EQ(Bytes(bytes.begin() + want.size(), bytes.end()), Bytes(old.begin() + want.size(), old.end()));

    // The next run reads the short record and ignores the rest.
    app.reset();
    Launch();
    ExpectFields(L"1500", L"C:\\a\\b.srt", L"1", L"2", L"3", L"4");
    Pump(300);
    EXPECT_TRUE(PanelAlone());
}

TEST_F(PanelTest, RecordCutInsideTheFontLoadsWithoutAMessage) {
    const Settings saved = SampleSettings();
    Bytes bytes = EncodeSettings(saved);
    // The face name "Liberation Sans" and its NUL stay; the last 16 bytes go.
    bytes.resize(bytes.size() - 16);
    WriteSettings(bytes);
    Launch();
    ExpectFields(L"1500", W(saved.file), L"1", L"2", L"3", L"4");
    Pump(300);
    EXPECT_TRUE(PanelAlone());
    ExitAndWait();
    // The font came from the bytes present; the full record is written back.
    const Settings s = Saved();
    EXPECT_EQ(ReadSettings().size(), RecordLength(saved));
    EXPECT_EQ(FaceName(s.font), "Liberation Sans");
    EXPECT_EQ(s.font.lfHeight, -37);
    EXPECT_EQ(s.delay, 1500);
}

// ---- A damaged file --------------------------------------------------------

struct DamagedFile {
    const char* name;
    Bytes bytes;
};

Bytes Cut(Bytes b, size_t n) {
    b.resize(n);
    return b;
}

Bytes HugePathPrefix() {
    // The length prefix claims 10,000 path bytes; the file ends after three.
    Bytes b = Cut(EncodeSettings(SampleSettings()), 24);
    b.insert(b.end(), {0xFF, 0x10, 0x27, 'a', 'b', 'c'});
    return b;
}

class DamagedFileTest : public PanelTest, public testing::WithParamInterface<DamagedFile> {};

TEST_P(DamagedFileTest, ReportsLeavesThePanelUsableAndExitRepairsIt) {
    WriteSettings(GetParam().bytes);
    app = std::make_unique<Program>(folder);
    // The report names the file; it comes while the panel initialises.
    HWND box = app->WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "a damaged settings file was not reported";
    const std::wstring words = MessageText(box);
    EXPECT_NE(words.find(L"Kelvane.DAT"), std::wstring::npos) << std::string(words.begin(), words.end());
    PostClick(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

    panel = app->WaitForPanel();
    ASSERT_NE(panel, nullptr) << "the panel did not appear after the report";
    EXPECT_TRUE(IsWindowEnabled(panel));
    // The controls show the construction values, also for fields read before the failure.
    ExpectFields(L"0", L"", L"0", L"0", L"0", L"0");

    // Usable: typed values are taken and Exit writes a full record.
    SetItemText(panel, IDC_DELAY, L"42");
    SetItemText(panel, IDC_FILE, L"x.srt");
    TypeTime(L"0", L"1", L"0", L"0");
    ExitAndWait();
    const Settings s = Saved();
    EXPECT_EQ(s.delay, 42);
    EXPECT_EQ(s.file, "x.srt");
    EXPECT_EQ(s.min, 1);
    // After a failed load the font starts from the panel's own, as on a first run.
    EXPECT_EQ(FaceName(s.font), "MS Sans Serif");
    EXPECT_GE(ReadSettings().size(), RecordLength(s));

    // The repaired file loads without a report.
    app.reset();
    Launch();
    ExpectFields(L"42", L"x.srt", L"0", L"1", L"0", L"0");
    Pump(300);
    EXPECT_TRUE(PanelAlone());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedFileTest,
    testing::Values(DamagedFile{"Empty", {}}, DamagedFile{"CutInsideTheIntegers", Cut(EncodeSettings(SampleSettings()), 10)},
                    DamagedFile{"CutInsideThePath", Cut(EncodeSettings(SampleSettings()), 30)},
                    DamagedFile{"PathLongerThanTheFile", HugePathPrefix()}),
    [](const testing::TestParamInfo<DamagedFile>& info) { return std::string(info.param.name); });

// ---- Validation ------------------------------------------------------------

TEST_F(PanelTest, OutOfRangeFieldAtExitShowsTheMessageAndStillSaves) {
    Launch();
    SetItemText(panel, IDC_DELAY, L"100");
    SetItemText(panel, IDC_FILE, L"a.srt");
    TypeTime(L"5", L"75", L"6", L"7");
    PostClick(panel, IDCANCEL);
    ExpectMessage(L"59");
    ASSERT_TRUE(app->WaitForExit()) << "the panel stays open after an invalid field at Exit";

    // Exchanged in table order: delay, path, millis, then the minute (stored,
    // then found out of range); the second and hour after it were not read.
    const Settings s = Saved();
    EXPECT_EQ(s.delay, 100);
    EXPECT_EQ(s.file, "a.srt");
    EXPECT_EQ(s.millis, 7);
    EXPECT_EQ(s.min, 75);
    EXPECT_EQ(s.sec, 0);
    EXPECT_EQ(s.hour, 0);
}

TEST_F(PanelTest, StartReportsTheFirstFailingFieldInTableOrderAndFocusesIt) {
    Launch();
    SetItemText(panel, IDC_DELAY, L"10");
    TypeTime(L"24", L"60", L"60", L"1000");

    struct Step {
        int fixId;  // field corrected before the step (0: none)
        const wchar_t* fixText;
        int failingId;
        const wchar_t* named;  // part of the message
    };
    const Step steps[] = {{0, nullptr, IDC_MILLIS, L"999"},
                          {IDC_MILLIS, L"5", IDC_MIN, L"59"},
                          {IDC_MIN, L"5", IDC_SEC, L"59"},
                          {IDC_SEC, L"5", IDC_HOUR, L"23"}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.failingId);
        if (step.fixId) SetItemText(panel, step.fixId, step.fixText);
        PostClick(panel, IDOK);
        ExpectMessage(step.named);
        EXPECT_TRUE(WaitUntil([&] { return FocusedId(panel) == step.failingId; }))
            << "focus on " << FocusedId(panel);
        EXPECT_TRUE(PanelAlone()) << "no overlay after a failed Start";
    }
    // Nothing was reset: the fields show what was typed.
    ExpectFields(L"10", L"", L"24", L"5", L"5", L"5");

    // An empty field is not a number; Enter means Start.
    SetItemText(panel, IDC_HOUR, L"");
    PressKey(panel, VK_RETURN);
    HWND box = app->WaitForMessageBox({panel});
    ASSERT_NE(box, nullptr) << "Enter with an empty hour showed no message";
    PostClick(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && FocusedId(panel) == IDC_HOUR; }));
    EXPECT_TRUE(PanelAlone());
}

// ---- Two instances ---------------------------------------------------------

TEST_F(PanelTest, SecondInstanceStartsWithDefaultsAndCannotSave) {
    const Bytes original = EncodeSettings(SampleSettings());
    WriteSettings(original);
    Launch();
    ExpectFields(L"1500", L"C:\\films\\movie.srt", L"1", L"2", L"3", L"4");

    Program second(folder);
    HWND panel2 = second.WaitForPanel();
    ASSERT_NE(panel2, nullptr);
    // It cannot open the held file: first-run values, and no report.
    EXPECT_EQ(ItemText(panel2, IDC_DELAY), L"0");
    EXPECT_EQ(ItemText(panel2, IDC_FILE), L"");
    EXPECT_EQ(ItemText(panel2, IDC_HOUR), L"0");
    SetItemText(panel2, IDC_DELAY, L"999");
    SetItemText(panel2, IDC_FILE, L"second.srt");
    PostClick(panel2, IDCANCEL);
    ASSERT_TRUE(second.WaitForExit()) << "the second instance did not end at Exit";

    // The first instance's file is untouched by the second and saved by the first.
    ExitAndWait();
    EXPECT_EQ(ReadSettings(), original);
}

TEST_F(PanelTest, ReadOnlyFileLoadsAndIsNotWritten) {
    const Bytes original = EncodeSettings(SampleSettings());
    WriteSettings(original);
    if (!folder.MakeUnwritable(kSettingsFile)) GTEST_SKIP() << "cannot make a file unwritable here";
    Launch();
    ExpectFields(L"1500", L"C:\\films\\movie.srt", L"1", L"2", L"3", L"4");
    Pump(300);
    EXPECT_TRUE(PanelAlone()) << "a read-only file is not a damaged one";
    SetItemText(panel, IDC_DELAY, L"777");
    ExitAndWait();
    EXPECT_EQ(ReadSettings(), original);
}

// ---- Ways out --------------------------------------------------------------

enum class Leave { ExitButton, Escape, SysClose, Close, AltF4 };

std::string LeaveName(const testing::TestParamInfo<Leave>& info) {
    static const char* const names[] = {"ExitButton", "Escape", "SysClose", "Close", "AltF4"};
    return names[static_cast<int>(info.param)];
}

class LeaveTest : public PanelTest, public testing::WithParamInterface<Leave> {};

TEST_P(LeaveTest, SavesTheSettingsAndEnds) {
    Launch();
    SetItemText(panel, IDC_DELAY, L"4321");
    SetItemText(panel, IDC_FILE, L"leave.srt");
    switch (GetParam()) {
    case Leave::ExitButton: PostClick(panel, IDCANCEL); break;
    case Leave::Escape: PressKey(panel, VK_ESCAPE); break;
    case Leave::SysClose: PostMessageW(panel, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case Leave::Close: PostMessageW(panel, WM_CLOSE, 0, 0); break;
    case Leave::AltF4: PressKey(panel, VK_F4, true); break;
    }
    ASSERT_TRUE(app->WaitForExit()) << "Kelvane did not end";
    const Settings s = Saved();
    EXPECT_EQ(s.delay, 4321);
    EXPECT_EQ(s.file, "leave.srt");
}

INSTANTIATE_TEST_SUITE_P(Ways, LeaveTest,
                         testing::Values(Leave::ExitButton, Leave::Escape, Leave::SysClose, Leave::Close,
                                         Leave::AltF4),
                         LeaveName);

TEST_F(PanelTest, EndedFromOutsideSavesNothing) {
    Launch();
    SetItemText(panel, IDC_DELAY, L"5");
    app->Terminate();
    EXPECT_EQ(folder.FileSize(kSettingsFile), std::optional<uint64_t>(0));
}

// ---- About box -------------------------------------------------------------

TEST_F(PanelTest, AboutBoxOpensFromTheSystemMenu) {
    Launch();
    // The command itself, with its low four bits set, and with upper bits set.
    for (WPARAM command : {IDM_ABOUTBOX, IDM_ABOUTBOX | 0x3, IDM_ABOUTBOX | 0x10000}) {
        SCOPED_TRACE(command);
        PostMessageW(panel, WM_SYSCOMMAND, command, 0);
        HWND about = app->WaitForWindow(L"About Kelvane", L"#32770", {panel});
        ASSERT_NE(about, nullptr) << "no About box";
        EXPECT_NE(AllChildText(about).find(L"Kelvane Version 1.0"), std::wstring::npos);
        EXPECT_EQ(ItemText(about, IDOK), L"OK");
        Click(about, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "OK did not close the About box";
        EXPECT_TRUE(app->Running());
        EXPECT_TRUE(PanelAlone());
    }
    // Escape closes it too, and the panel goes on.
    PostMessageW(panel, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = app->WaitForWindow(L"About Kelvane", L"#32770", {panel});
    ASSERT_NE(about, nullptr);
    PressKey(about, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    ExitAndWait();
}

// ---- File chooser ----------------------------------------------------------

TEST_F(PanelTest, BrowseSetsThePathAndKeepsTypedValues) {
    CreateDirectoryW(folder.FilePath(L"films").c_str(), nullptr);
    folder.WriteText(L"films\\movie.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n");
    Launch();
    SetItemText(panel, IDC_DELAY, L"77");
    SetItemText(panel, IDC_HOUR, L"3");

    // Cancelled: nothing changes.
    PostClick(panel, IDC_BROWSE);
    HWND chooser = app->WaitForWindow(L"Open", L"#32770", {panel});
    ASSERT_NE(chooser, nullptr) << "no file chooser";
    // Two filters, "*.srt" selected first.
    EXPECT_EQ(ItemText(chooser, cmb1), L"Subrip files(*.srt)");
    EXPECT_EQ(ComboItems(chooser, cmb1), (std::vector<std::wstring>{L"Subrip files(*.srt)", L"All Files (*.*)"}));
    PressKey(chooser, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
    EXPECT_EQ(ItemText(panel, IDC_FILE), L"");

    // Chosen: the full path, the typed values kept.
    PostClick(panel, IDC_BROWSE);
    chooser = app->WaitForWindow(L"Open", L"#32770", {panel});
    ASSERT_NE(chooser, nullptr);
    const std::wstring path = folder.FilePath(L"films\\movie.srt");
    PickFile(chooser, path);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); })) << "the chooser did not take the file";
    ASSERT_TRUE(WaitUntil([&] { return _wcsicmp(ItemText(panel, IDC_FILE).c_str(), path.c_str()) == 0; }))
        << std::string(ItemText(panel, IDC_FILE).begin(), ItemText(panel, IDC_FILE).end());
    EXPECT_EQ(ItemText(panel, IDC_DELAY), L"77");
    EXPECT_EQ(ItemText(panel, IDC_HOUR), L"3");

    ExitAndWait();
    // Saved into the file opened at start-up, though the chooser moved the
    // current directory into the subfolder.
    EXPECT_FALSE(folder.Exists(L"films\\Kelvane.DAT"));
    const Settings s = Saved();
    EXPECT_EQ(_stricmp(s.file.c_str(), std::string(path.begin(), path.end()).c_str()), 0) << s.file;
    EXPECT_EQ(s.delay, 77);
    EXPECT_EQ(s.hour, 3);
}

// ---- Font chooser ----------------------------------------------------------

// A face the font chooser lists other than `avoid`; Wine's lists differ by machine.
std::wstring OtherFace(HWND chooser, const std::wstring& avoid) {
    const std::vector<std::wstring> faces = ComboItems(chooser, cmb1);
    for (const wchar_t* preferred : {L"Liberation Serif", L"DejaVu Serif", L"Tahoma", L"Arial"})
        for (const std::wstring& f : faces)
            if (f == preferred && f != avoid) return f;
    for (const std::wstring& f : faces)
        if (!f.empty() && f[0] != L'@' && f != avoid) return f;
    return {};
}

TEST_F(PanelTest, FontChooserChangesFontAndColourAndCancelChangesNothing) {
    Launch();
    // Cancelled: the record keeps the panel's font and black.
    PostClick(panel, IDC_FONT);
    HWND chooser = app->WaitForWindow(L"Font", L"#32770", {panel});
    ASSERT_NE(chooser, nullptr) << "no font chooser";
    EXPECT_EQ(ItemText(chooser, cmb4), L"Black") << "the chooser starts with the saved colour";
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(chooser, cmb4))) << "effects (colour) are offered";
    PressKey(chooser, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));

    PostClick(panel, IDC_FONT);
    chooser = app->WaitForWindow(L"Font", L"#32770", {panel});
    ASSERT_NE(chooser, nullptr);
    const std::wstring face = OtherFace(chooser, L"MS Sans Serif");
    ASSERT_FALSE(face.empty()) << "the chooser lists no font";
    ASSERT_TRUE(PickFont(chooser, face, L"12", RGB(255, 0, 0)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); })) << "OK did not close the font chooser";

    // Opened again, it starts from the chosen font and colour.
    PostClick(panel, IDC_FONT);
    chooser = app->WaitForWindow(L"Font", L"#32770", {panel});
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(ItemText(chooser, cmb1), face);
    EXPECT_EQ(ItemText(chooser, cmb3), L"12");
    EXPECT_EQ(ItemText(chooser, cmb4), L"Red");
    PressKey(chooser, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));

    ExitAndWait();
    const Settings s = Saved();
    EXPECT_EQ(W(FaceName(s.font)), face);
    EXPECT_EQ(s.font.lfHeight, -MulDiv(12, Dpi(), 72));
    EXPECT_EQ(s.color, static_cast<uint32_t>(RGB(255, 0, 0)));
}

TEST_F(PanelTest, FontChooserCancelledKeepsTheLoadedFont) {
    const Settings saved = SampleSettings();
    WriteSettings(EncodeSettings(saved));
    Launch();
    PostClick(panel, IDC_FONT);
    HWND chooser = app->WaitForWindow(L"Font", L"#32770", {panel});
    ASSERT_NE(chooser, nullptr);
    PressKey(chooser, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
    ExitAndWait();
    EXPECT_EQ(ReadSettings(), EncodeSettings(saved));
}

}  // namespace
}  // namespace e2e

// The control panel driven from outside; "Kelvane.DAT" read back byte for byte.
#include "Harness.h"

#include <dlgs.h>

#include <filesystem>
#include <tuple>

namespace e2e {
namespace {

const int kFields[] = {IDC_DELAY, IDC_FILE, IDC_HOUR, IDC_MIN, IDC_SEC, IDC_MILLIS};

Settings Sample() {
    Settings s;
    s.delay = 1500, s.hour = 1, s.min = 2, s.sec = 3, s.millis = 4, s.color = 0x00336699;
    s.file = std::string(40, 'p'), s.overlay = RECT{100, 600, 900, 700};
    s.font.lfHeight = -37, s.font.lfWeight = FW_BOLD;
    lstrcpyA(s.font.lfFaceName, "Liberation Sans");
    return s;
}

class PanelTest : public KelvaneTest {
protected:
    void ExpectFields(const std::vector<std::wstring>& texts) {
        for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(ItemText(panel, kFields[i]), texts[i]) << kFields[i];
    }
};

// Started in the document's folder with its quoted path, as "Open with" starts it, Kelvane keeps its settings beside
// the program: the record there is shown with the path over its own, the options there are read and written, typed
// values are saved over the record byte for byte (the longer old record's tail stays), the document's folder untouched.
TEST_F(PanelTest, WithAFileArgumentTheSettingsBesideTheProgramAreShownAndSavedOverKeepingTheTail) {
    const std::wstring documents = folder.FilePath(L"films"), program = folder.FilePath(L"Kelvane.exe");
    ASSERT_TRUE(CreateDirectoryW(documents.c_str(), nullptr) && CopyFileW(Program::UnderTest().c_str(), program.c_str(), TRUE));
    const Bytes old = EncodeSettings(Sample());
    const std::string ini = "[Options]\nOutline=1\nEncoding=866\n";
    folder.Write(kSettingsFile, old), folder.Write(L"Kelvane.ini", {ini.begin(), ini.end()});
    folder.Write(L"films\\a film.srt", {'1'});
    Launch(L"\"" + documents + L"\\a film.srt\"", documents, program);
    ExpectFields({L"1500", documents + L"\\a film.srt", L"1", L"2", L"3", L"4"});
    PostMessageW(panel, WM_SYSCOMMAND, IDM_OPTIONS, 0);
    HWND options = app->WaitForCaption(L"Kelvane Options");
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(options, IDC_OPT_OUTLINE), BST_CHECKED) << "Kelvane.ini beside the program is read";
    EXPECT_EQ(ItemText(options, IDC_OPT_ENCODING), L"Code page 866") << "a code page besides those named";
    PostClick(options, IDOK);  // and written
    ASSERT_TRUE(WaitUntil("OK to close the options", [&] { return !IsWindow(options); }));
    const wchar_t* const typed[] = {L"250", L"D:\\movie.srt", L"23", L"59", L"58", L"999"};
    for (size_t i = 0; i < 6; ++i) SetItemText(panel, kFields[i], typed[i]);
    ExitAndWait();
    Settings s = Sample();  // colour, rectangle and font written back as loaded
    s.delay = 250, s.file = "D:\\movie.srt", s.hour = 23, s.min = 59, s.sec = 58, s.millis = 999;
    Bytes want = EncodeSettings(s);
    want.insert(want.end(), old.begin() + want.size(), old.end());
    EXPECT_EQ(folder.Read(kSettingsFile), want) << "never truncated";
    const Bytes saved = folder.Read(L"Kelvane.ini");
    const std::string written(saved.begin(), saved.end());
    EXPECT_TRUE(written.find("FormattingTags=0") != written.npos && written.find("Encoding=866") != written.npos) << written;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(documents), {}), 1) << "the film alone";
}

// A first run creates an empty file at start-up; every way out writes a full record. Armed to start on the next
// click, Exit, the close button and Alt+F4 disarm and end all the same (Escape only disarms then).
TEST_F(PanelTest, FirstRunAndEveryWayOutSaveAFullRecord) {
    const std::function<void(HWND)> ways[] = {  // Exit, Escape, the caption's close button, Alt+F4
        [](HWND p) { PostClick(p, IDCANCEL); }, [](HWND p) { PressKey(p, VK_ESCAPE); },
        [](HWND p) { PostMessageW(p, WM_SYSCOMMAND, SC_CLOSE, 0); }, [](HWND p) { PressKey(p, VK_F4, true); }};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        Launch();
        if (i == 0) {
            EXPECT_TRUE(std::filesystem::is_empty(folder.FilePath(kSettingsFile))) << "a first run's file, empty";
            ExpectFields({L"0", L"", L"0", L"0", L"0", L"0"});
            EXPECT_EQ(app->Windows(), std::vector<HWND>{panel}) << "a first run reports nothing";
        }
        SetItemText(panel, IDC_DELAY, std::to_wstring(i));
        if (i != 1) PostMessageW(panel, WM_SYSCOMMAND, IDM_START_ON_CLICK, 0);
        ASSERT_TRUE(WaitUntil("armed or disarmed as expected", [&] { return Armed(panel) == (i != 1); }));
        ways[i](panel);
        ASSERT_TRUE(app->WaitForExit()) << "Kelvane did not end";
        Settings want;  // all zero but the delay, with the panel's own font: "MS Sans Serif", 8 points
        want.delay = i, want.font = Saved().font;
        EXPECT_TRUE(FaceName(want.font) == "MS Sans Serif" && want.font.lfHeight == PointsToHeight(8));
        EXPECT_EQ(folder.Read(kSettingsFile), EncodeSettings(want));
    }
}

// The About box opens from the system menu and lists the live-control keys. The file chooser offers SubRip first, then
// every format and each, then all files. The choosers change the fields (typed values kept) and the record; the file
// chooser moves the current directory, yet the record opened at start is saved.
TEST_F(PanelTest, AboutBrowseAndFontDialogs) {
    CreateDirectoryW(folder.FilePath(L"films").c_str(), nullptr);
    folder.Write(L"films\\movie.srt", Bytes{'1', '\n'});
    Launch();
    PostMessageW(panel, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0);  // the low four bits are the system's
    HWND about = app->WaitForCaption(L"About Kelvane");
    ASSERT_NE(about, nullptr);
    const std::wstring keys = ItemText(about, IDC_ABOUT_KEYS);  // the overlay's table, as the user reads it
    EXPECT_TRUE(keys.find(L"Ctrl+Alt+Space: Pause / resume\n") == 0 && keys.find(L"Ctrl+Alt+Shift+Left: Earlier by 1 s") != keys.npos) << Narrow(keys);
    Click(about, IDOK);
    ASSERT_TRUE(WaitUntil("OK to close the About box", [&] { return !IsWindow(about); }));
    SetItemText(panel, IDC_DELAY, L"77");
    PostClick(panel, IDC_BROWSE);
    HWND chooser = app->WaitForCaption(L"Open");
    ASSERT_NE(chooser, nullptr);
    std::wstring types;  // the file types offered; SubRip's chosen
    HWND typeList = GetDlgItem(chooser, cmb1);
    for (WPARAM i = 0; i < WPARAM(SendMessageW(typeList, CB_GETCOUNT, 0, 0)); ++i) {
        wchar_t type[100] = L"";
        SendMessageW(typeList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(type)), types += type + std::wstring(L"|");
    }
    EXPECT_EQ(types, L"Subrip files(*.srt)|Subtitle files (*.srt;*.vtt;*.ass;*.ssa)|WebVTT files (*.vtt)|"
                     L"ASS/SSA files (*.ass;*.ssa)|All Files (*.*)|");
    EXPECT_EQ(SendMessageW(typeList, CB_GETCURSEL, 0, 0), 0);
    const std::wstring path = folder.FilePath(L"films\\movie.srt");
    PickFile(chooser, path);
    ASSERT_TRUE(WaitUntil("the chosen file in the field",
                          [&] { return _wcsicmp(ItemText(panel, IDC_FILE).c_str(), path.c_str()) == 0; }))
        << Narrow(ItemText(panel, IDC_FILE));
    EXPECT_EQ(ItemText(panel, IDC_DELAY), L"77");

    PostClick(panel, IDC_FONT);
    ASSERT_NE(chooser = app->WaitForCaption(L"Font"), nullptr);
    EXPECT_EQ(ItemText(chooser, cmb4), L"Black") << "starts with the saved colour";
    const std::wstring face = PickFont(chooser, L"12", L"Red");
    ASSERT_FALSE(face.empty()) << "no known face listed";
    ASSERT_TRUE(WaitUntil("OK to close the font chooser", [&] { return !IsWindow(chooser); }));
    ExitAndWait();

    EXPECT_FALSE(std::filesystem::exists(folder.FilePath(L"films\\Kelvane.DAT")));
    const Settings s = Saved();
    EXPECT_EQ(_stricmp(s.file.c_str(), Narrow(path).c_str()), 0) << s.file;
    EXPECT_EQ(std::make_tuple(s.delay, FaceName(s.font), s.font.lfHeight, s.color),
              std::make_tuple(77, Narrow(face), PointsToHeight(12), RGB(255, 0, 0)));
}

}  // namespace
}  // namespace e2e

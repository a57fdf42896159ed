#pragma once
// End-to-end harness: the real Kelvane.exe in a fresh folder, driven with Win32 messages and input, read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resource.h"

namespace e2e {

using Bytes = std::vector<uint8_t>;
constexpr DWORD kTimeout = 5000;  // waits give up after a few seconds: what has not come by then has failed
inline const wchar_t kSettingsFile[] = L"Kelvane.DAT";
inline const wchar_t kCaption[] = L"Subtitle Window - Resize and doble left click to make transparent";
constexpr COLORREF kText = RGB(255, 0, 0);  // the colour of the overlay's text

// Polls `done`, pumping this thread's messages, until it holds or time is up; the failure names `what`.
testing::AssertionResult WaitUntil(const std::string& what, const std::function<bool()>& done, DWORD ms = kTimeout);
void Pump(DWORD ms);  // only for "nothing happens" checks

struct TempFolder {  // a fresh folder, removed at the end
    TempFolder();
    ~TempFolder() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
    std::wstring FilePath(const std::wstring& name) const { return path + L"\\" + name; }
    void Write(const std::wstring& name, const Bytes& bytes) const;
    Bytes Read(const std::wstring& name) const;  // empty when missing or held by Kelvane
    std::wstring path;
};

// The settings record: six little-endian integers, the path after a one-byte length, the rectangle, a LOGFONTA.
struct Settings {
    int32_t delay = 0, hour = 0, min = 0, sec = 0, millis = 0;
    uint32_t color = 0;
    std::string file;
    RECT overlay{0, 0, 0, 0};
    LOGFONTA font{};
};
Bytes EncodeSettings(const Settings& s);
std::string FaceName(const LOGFONTA& font);
std::string Narrow(const std::wstring& s);
int PointsToHeight(int points);  // a font height in pixels of this screen
std::string Cue(int from, int to, const std::string& text);  // a SubRip cue, its times in ms

std::wstring ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::wstring& text);
void Click(HWND dialog, int id), PostClick(HWND dialog, int id);  // sent (returns once handled) or posted
void PressKey(HWND hwnd, UINT vk, bool alt = false);  // to the focused window of hwnd's thread
void SendKeys(const std::vector<WORD>& keys);  // pressed in order, released in reverse, as typed input
bool Armed(HWND panel);  // the panel's caption asks for the click that starts playback
inline LONG_PTR Style(HWND h) { return GetWindowLongPtrW(h, GWL_STYLE); }
inline LONG_PTR ExStyle(HWND h) { return GetWindowLongPtrW(h, GWL_EXSTYLE); }
inline RECT WindowRect(HWND h) { RECT r{}; return GetWindowRect(h, &r), r; }
inline RECT ClientScreenRect(HWND h) {
    RECT r{};
    return GetClientRect(h, &r), MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2), r;
}
inline bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
std::vector<uint32_t> ScreenPixels(const RECT& area);  // 0x00RRGGBB, row by row
// The bounding box of the screen's pixels of one colour in area, empty when none; `one`: one of them.
RECT Bounds(const RECT& area, COLORREF colour, POINT* one = nullptr);
// The overlay's client area as the screen shows it, in the text's colour: the width of the status line on top and of
// a one-line cue at the bottom (0: none), and whether the lines between hold any (the banner's).
struct Look { LONG status, cue; bool banner; };
Look LookAt(HWND overlay);

// Kelvane.exe (or a copy at `program`) started in folder `dir`, ended by the destructor if still running.
struct Program {
    Program(const std::wstring& dir, const std::wstring& tail = L"", const std::wstring& program = L"");
    static const std::wstring& UnderTest();
    ~Program();
    testing::AssertionResult WaitForExit() const;
    std::vector<HWND> Windows() const;  // visible top-level windows
    // A visible dialog of the process that matches, with this caption, or the panel; else in time nullptr, a failure.
    HWND WaitFor(const std::string& what, const std::function<bool(HWND)>& match) const;
    HWND WaitForCaption(const std::wstring& caption) const;
    HWND WaitForPanel() const;
    PROCESS_INFORMATION pi_{};
};

// Answer the common dialogs and press OK; PickFont returns the face it chose, empty when none is listed.
void PickFile(HWND chooser, const std::wstring& path);
std::wstring PickFont(HWND chooser, const std::wstring& size, const std::wstring& colour);

// Fixture base: a fresh folder and Kelvane started in it.
struct KelvaneTest : testing::Test {
    TempFolder folder;  // first: the program ends before its folder goes
    std::unique_ptr<Program> app;
    HWND panel = nullptr;

    // Start (in `dir`, else the folder) and wait for the panel; Exit and wait.
    void Launch(const std::wstring& tail = L"", const std::wstring& dir = L"", const std::wstring& program = L"");
    void ExitAndWait();
    Settings Saved();  // the record in Kelvane.DAT
    void PrepareOverlay(const std::string& cues, const RECT& where, const std::array<int32_t, 4>& start = {});
    HWND StartOverlay();  // Start clicked: the overlay, or nullptr
};

}  // namespace e2e

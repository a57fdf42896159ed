#pragma once
// End-to-end harness: drives the real Kelvane.exe from outside, as a user would,
// with nothing but Win32 calls. Each test gets a fresh folder, starts the program
// there, finds its windows by caption and process, types into fields, clicks
// buttons, answers message boxes and choosers, reads styles, rectangles and
// pixels, and reads back the settings file. Everything it starts or creates is
// cleaned up by destructors, also when an assertion fails half way.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using Bytes = std::vector<uint8_t>;

// Default time limit of every wait. Wine starts processes and opens dialogs
// slowly on a loaded machine, so it is generous; waits end as soon as their
// condition holds.
constexpr DWORD kTimeout = 20000;

// Polls `done` until it holds or `timeout` ms have passed; returns its last value.
// Pumps this thread's messages meanwhile, so windows the harness owns keep painting.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout = kTimeout);

// Lets this thread's windows process their messages for `ms` milliseconds. Only
// for "nothing happens" checks, where no condition can be polled for.
void Pump(DWORD ms);

// ---- The program under test ------------------------------------------------

// The path of Kelvane.exe. Taken from "--kelvane=PATH" (a Windows path or, under
// Wine, a Unix path) by InitProgramPath; else Kelvane.exe beside this executable.
void InitProgramPath(int argc, char** argv);
std::wstring ProgramPath();

// A Unix path made into a Windows path under Wine (any other path is returned as is).
std::wstring ToWindowsPath(const std::string& path);

// A fresh, empty folder under the temporary directory, deleted with its contents.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring FilePath(const std::wstring& name) const;
    void Write(const std::wstring& name, const Bytes& bytes) const;
    void WriteText(const std::wstring& name, const std::string& text) const;
    bool Exists(const std::wstring& name) const;
    Bytes Read(const std::wstring& name) const;  // empty when missing
    void SetReadOnly(const std::wstring& name, bool readOnly) const;
    std::optional<uint64_t> FileSize(const std::wstring& name) const;  // works while the file is held open
    // Makes a file unwritable for everyone: the read-only attribute, and where that
    // is not enforced (Wine running as root ignores it) the Unix immutable flag.
    // False when neither works; the destructor lifts the flag again.
    bool MakeUnwritable(const std::wstring& name);

private:
    std::wstring path_;
    std::vector<std::wstring> immutable_;
};

// ---- The settings record ("Kelvane.DAT") -----------------------------------
// Written from the file's byte layout: integers little-endian, the path with a
// 1-, 3- or 7-byte length prefix, then the rectangle (16 bytes) and the font
// description (LOGFONTA, 60 bytes). The record is 100 + prefix + path bytes.

extern const wchar_t kSettingsFile[];  // L"Kelvane.DAT"

struct Settings {
    int32_t delay = 0, hour = 0, min = 0, sec = 0, millis = 0;
    uint32_t color = 0;  // 0x00bbggrr
    std::string file;
    RECT overlay{0, 0, 0, 0};
    LOGFONTA font{};
};

Bytes EncodeSettings(const Settings& s);
size_t RecordLength(const Settings& s);
// Reads one complete record from the start of `bytes` (bytes after it are
// ignored); nothing when the bytes end before the record does.
std::optional<Settings> DecodeSettings(const Bytes& bytes);
// A font description with the given face, height and weight; other fields zero.
LOGFONTA MakeFont(const char* face, LONG height, LONG weight = FW_NORMAL);
std::string FaceName(const LOGFONTA& font);

// ---- Windows ---------------------------------------------------------------

std::wstring ClassName(HWND hwnd);
std::wstring WindowText(HWND hwnd);  // via WM_GETTEXT, works across processes
// Texts of all child windows of a dialog, joined with '\n' (a message box's words).
std::wstring AllChildText(HWND dialog);
std::vector<HWND> Children(HWND parent);  // direct and indirect
HWND FindChildByClass(HWND parent, const wchar_t* cls);

std::wstring ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::wstring& text);
// Click a button and wait until the program has handled it. Not for buttons that
// open a modal box: the handler does not return while the box is open.
void Click(HWND dialog, int id);
// Click a button without waiting (for buttons that open a modal box).
void PostClick(HWND dialog, int id);
// Posts a key press (down and up) to the window that has the keyboard focus in
// `hwnd`'s thread, where the dialog manager's loop sees and translates it. With
// `alt` it is a system key press (Alt held), as Alt+F4.
void PressKey(HWND hwnd, UINT vk, bool alt = false);
// Posts a typed character to the focused window of `hwnd`'s thread.
void TypeChar(HWND hwnd, wchar_t ch);
// The words of a message box.
std::wstring MessageText(HWND box);
// The window with the keyboard focus in `hwnd`'s thread (null when none).
HWND FocusOf(HWND hwnd);
int FocusedId(HWND hwnd);  // its control id, 0 when none

LONG_PTR Style(HWND hwnd);
LONG_PTR ExStyle(HWND hwnd);
RECT WindowRect(HWND hwnd);
RECT ClientScreenRect(HWND hwnd);  // the client area in screen coordinates

// Pixels of the screen (what X shows), copied by BitBlt from the screen DC.
class ScreenShot {
public:
    explicit ScreenShot(const RECT& area);
    COLORREF At(int x, int y) const;  // screen coordinates inside the area
    // Number of pixels whose colour lies within `tolerance` on each channel.
    size_t Count(COLORREF colour, int tolerance = 0) const;
    const RECT& Area() const { return area_; }

private:
    RECT area_;
    std::vector<uint32_t> pixels_;  // 0x00RRGGBB, top-down rows
};

// A plain top-level window of the harness's own, filled with one colour (for
// checks of what lies beneath another window). Painted while the harness waits.
class SolidWindow {
public:
    SolidWindow(const RECT& rect, COLORREF colour, bool topmost = false);
    ~SolidWindow();
    SolidWindow(const SolidWindow&) = delete;
    SolidWindow& operator=(const SolidWindow&) = delete;
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
    HBRUSH brush_ = nullptr;
};

// ---- A running Kelvane -----------------------------------------------------

class Program {
public:
    // Starts Kelvane.exe in `folder` with the given command-line tail (may be empty).
    explicit Program(const TempFolder& folder, const std::wstring& tail = L"");
    ~Program();  // ends the process if still running
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Pid() const { return pid_; }
    bool Running() const;
    // Waits for the process to end; its exit code in `code`.
    bool WaitForExit(DWORD timeout = kTimeout, DWORD* code = nullptr);
    void Terminate();

    // Top-level windows of the process, visible ones only unless `all`.
    std::vector<HWND> Windows(bool all = false) const;
    // First visible top-level window of the process matching the class (null: any)
    // and caption (null: any) and not in `except`; waits for it.
    HWND WaitForWindow(const wchar_t* caption, const wchar_t* cls = L"#32770",
                       const std::vector<HWND>& except = {}, DWORD timeout = kTimeout) const;
    // The control panel: the dialog captioned "Kelvane" that holds the path field.
    HWND WaitForPanel(DWORD timeout = kTimeout) const;
    // A message box of the process (a dialog with the message text control) other
    // than those in `except`; waits for it.
    HWND WaitForMessageBox(const std::vector<HWND>& except = {}, DWORD timeout = kTimeout) const;
    // A visible dialog of the process other than those in `except`.
    HWND WaitForOtherDialog(const std::vector<HWND>& except, DWORD timeout = kTimeout) const;

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// ---- Common dialogs of the program -----------------------------------------

// Types `path` into an open-file chooser's file name field and presses Open.
void PickFile(HWND chooser, const std::wstring& path);
// Picks, in a font chooser, the face and the size (as their list texts, empty:
// keep) and, when given, the colour (by its value in the colour list); then
// presses OK. False (and nothing pressed) when the lists lack one of them.
bool PickFont(HWND chooser, const std::wstring& face, const std::wstring& size,
                std::optional<COLORREF> colour = std::nullopt);
// The texts of the items of a chooser's combo box (e.g. the font faces, cmb1).
std::vector<std::wstring> ComboItems(HWND chooser, int id);

}  // namespace e2e

#include "Harness.h"

#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace e2e {
namespace {

std::wstring g_program = L"Kelvane.exe";

std::wstring ClassName(HWND h) { wchar_t name[256] = L""; return GetClassNameW(h, name, 256), name; }

// Never hangs the harness on a window that does not answer: one that takes seconds fails the test.
LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, kTimeout, &result) && GetLastError() == ERROR_TIMEOUT)
        ADD_FAILURE() << "gave up after " << kTimeout << " ms waiting for a " << Narrow(ClassName(hwnd))
                      << " window to answer message " << msg;
    return static_cast<LRESULT>(result);
}

// A top-level window's caption as the system keeps it: no message, so a hung program cannot hold a wait.
std::wstring Caption(HWND h) { wchar_t text[256] = L""; return GetWindowTextW(h, text, 256), text; }

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(Send(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// Selects the combo box item with this text and tells the chooser, as the user's choice does.
bool Select(HWND chooser, int id, const std::wstring& text) {
    HWND combo = GetDlgItem(chooser, id);
    const LRESULT index = Send(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR) return false;
    Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return Send(chooser, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo)), true;
}

}  // namespace

testing::AssertionResult WaitUntil(const std::string& what, const std::function<bool()>& done, DWORD ms) {
    for (const ULONGLONG end = GetTickCount64() + ms; !done(); Pump(20))
        if (GetTickCount64() >= end)
            return testing::AssertionFailure() << "gave up after " << ms << " ms waiting for " << what;
    return testing::AssertionSuccess();
}

void Pump(DWORD ms) {
    for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) TranslateMessage(&msg), DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

TempFolder::TempFolder() {
    static int count = 0;
    path = (std::filesystem::temp_directory_path() /
            ("kelvane-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count))).wstring();
    std::filesystem::create_directory(path);
}

void TempFolder::Write(const std::wstring& name, const Bytes& bytes) const {
    std::ofstream(std::filesystem::path(FilePath(name)), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes TempFolder::Read(const std::wstring& name) const {
    std::ifstream in(std::filesystem::path(FilePath(name)), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Windows is little-endian: integers are copied as they lie in memory.
Bytes EncodeSettings(const Settings& s) {
    static_assert(sizeof(LOGFONTA) == 60 && sizeof(RECT) == 16, "stored sizes");
    if (s.file.size() >= 0xFF) throw std::invalid_argument("the harness writes short paths only");
    const int32_t head[] = {s.delay, s.hour, s.min, s.sec, s.millis, static_cast<int32_t>(s.color)};
    const auto length = static_cast<uint8_t>(s.file.size());
    Bytes out;
    for (auto [p, n] : {std::pair<const void*, size_t>{head, sizeof head}, {&length, 1}, {s.file.data(), length},
                        {&s.overlay, sizeof(RECT)}, {&s.font, sizeof(LOGFONTA)}})
        out.insert(out.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
    return out;
}

std::string FaceName(const LOGFONTA& f) { return std::string(f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE)); }
std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

std::string Cue(int from, int to, const std::string& text) {
    char times[64];
    snprintf(times, sizeof times, "1\n%02d:%02d:%02d,%03d --> %02d:%02d:%02d,%03d\n", from / 3600000, from / 60000 % 60,
             from / 1000 % 60, from % 1000, to / 3600000, to / 60000 % 60, to / 1000 % 60, to % 1000);
    return times + text + "\n\n";
}

int PointsToHeight(int points) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    return ReleaseDC(nullptr, screen), height;
}

std::wstring ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
void SetItemText(HWND dialog, int id, const std::wstring& text) {
    Send(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
void Click(HWND dialog, int id) { Send(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
void PostClick(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PressKey(HWND hwnd, UINT vk, bool alt) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info);
    HWND target = info.hwndFocus ? info.hwndFocus : hwnd;
    const LPARAM bits = 1 | (static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16) | (alt ? 1 << 29 : 0);
    PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, bits);
    PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, bits | (3u << 30));
}

void SendKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> input(2 * keys.size(), INPUT{INPUT_KEYBOARD, {}});
    for (size_t i = 0, last = input.size() - 1; i < keys.size(); ++i)
        input[i].ki.wVk = input[last - i].ki.wVk = keys[i], input[last - i].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

bool Armed(HWND panel) { return WindowText(panel).find(L"Click Play") != std::wstring::npos; }

std::vector<uint32_t> ScreenPixels(const RECT& area) {
    const int w = std::max(0L, area.right - area.left), h = std::max(0L, area.bottom - area.top);
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, area.left, area.top, SRCCOPY), SelectObject(mem, old);
    BITMAPINFO bi{{sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    GetDIBits(mem, bitmap, 0, h, px.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(mem), DeleteObject(bitmap), ReleaseDC(nullptr, screen);
    for (uint32_t& p : px) p &= 0xFFFFFF;
    return px;
}

RECT Bounds(const RECT& area, COLORREF colour, POINT* one) {
    const std::vector<uint32_t> px = ScreenPixels(area);
    RECT r{0, 0, 0, 0};
    for (LONG i = 0, w = area.right - area.left; i < static_cast<LONG>(px.size()); ++i)
        if (px[i] == RGB(GetBValue(colour), GetGValue(colour), GetRValue(colour))) {
            const RECT p{area.left + i % w, area.top + i / w, area.left + i % w + 1, area.top + i / w + 1};
            UnionRect(&r, &r, &p);  // an empty rectangle adds nothing
            if (one) *one = POINT{p.left, p.top};
        }
    return r;
}

Look LookAt(HWND overlay) {
    const RECT r = ClientScreenRect(overlay);
    const auto width = [&](LONG top, LONG bottom) { const RECT b = Bounds({r.left, top, r.right, bottom}, kText); return b.right - b.left; };
    return {width(r.top, r.top + 40), width(r.bottom - 60, r.bottom), width(r.top + 50, r.bottom - 60) > 0};
}

const std::wstring& Program::UnderTest() { return g_program; }

Program::Program(const std::wstring& dir, const std::wstring& tail, const std::wstring& program) {
    std::wstring cmd = L"\"" + (program.empty() ? g_program : program) + L"\" " + tail;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_))
        throw std::runtime_error("cannot start Kelvane.exe (error " + std::to_string(GetLastError()) + ")");
}

Program::~Program() {
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(pi_.hProcess, 99), WaitForSingleObject(pi_.hProcess, kTimeout);
    CloseHandle(pi_.hThread), CloseHandle(pi_.hProcess);
}

testing::AssertionResult Program::WaitForExit() const {
    return WaitUntil("Kelvane to end", [&] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; });
}

std::vector<HWND> Program::Windows() const {
    std::vector<HWND> out;
    DWORD pid = 0;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
        if (GetWindowThreadProcessId(h, &pid) && pid == pi_.dwProcessId && IsWindowVisible(h)) out.push_back(h);
    return out;
}

HWND Program::WaitFor(const std::string& what, const std::function<bool(HWND)>& match) const {
    HWND found = nullptr;
    EXPECT_TRUE(WaitUntil(what, [&] {
        for (HWND h : Windows())
            if (ClassName(h) == L"#32770" && match(h)) found = h;
        return found != nullptr;
    }));
    return found;
}

HWND Program::WaitForCaption(const std::wstring& caption) const {
    return WaitFor("a window captioned \"" + Narrow(caption) + "\"", [&](HWND h) { return Caption(h) == caption; });
}

HWND Program::WaitForPanel() const {
    return WaitFor("the control panel", [](HWND h) { return Caption(h) == L"Kelvane" && GetDlgItem(h, IDC_FILE); });
}

void PickFile(HWND chooser, const std::wstring& path) {
    // The explorer-style chooser's name field is an edit inside cmb13; older ones use edt1.
    HWND field = GetDlgItem(chooser, edt1);
    EnumChildWindows(
        GetDlgItem(chooser, cmb13),
        [](HWND h, LPARAM lp) { return ClassName(h) == L"Edit" ? (*reinterpret_cast<HWND*>(lp) = h, FALSE) : TRUE; },
        reinterpret_cast<LPARAM>(&field));
    Send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostClick(chooser, IDOK);
}

std::wstring PickFont(HWND chooser, const std::wstring& size, const std::wstring& colour) {
    for (const wchar_t* face : {L"Liberation Serif", L"DejaVu Serif", L"Tahoma", L"Arial"})  // differ by machine
        if (Select(chooser, cmb1, face) && Select(chooser, cmb3, size) && Select(chooser, cmb4, colour))
            return PostClick(chooser, IDOK), face;
    return {};
}

void KelvaneTest::Launch(const std::wstring& tail, const std::wstring& dir, const std::wstring& program) {
    app = std::make_unique<Program>(dir.empty() ? folder.path : dir, tail, program);
    ASSERT_NE(panel = app->WaitForPanel(), nullptr);
}

void KelvaneTest::ExitAndWait() {
    PostClick(panel, IDCANCEL);
    ASSERT_TRUE(app->WaitForExit()) << "after Exit";
}

// The record back from its bytes; bytes after it are ignored.
Settings KelvaneTest::Saved() {
    const Bytes b = folder.Read(kSettingsFile);
    Settings s;
    if (b.size() < 25 || b[24] == 0xFF || b.size() < 101u + b[24]) return ADD_FAILURE() << "no complete record", s;
    int32_t* head[] = {&s.delay, &s.hour, &s.min, &s.sec, &s.millis, reinterpret_cast<int32_t*>(&s.color)};
    for (size_t i = 0; i < 6; ++i) std::memcpy(head[i], &b[4 * i], 4);
    s.file.assign(b.begin() + 25, b.begin() + 25 + b[24]);
    std::memcpy(&s.overlay, &b[25 + b[24]], sizeof(RECT));
    std::memcpy(&s.font, &b[41 + b[24]], sizeof(LOGFONTA));
    return s;
}

// Writes cues.srt and a record that plays it in crisp red at `where` from the start point given.
void KelvaneTest::PrepareOverlay(const std::string& cues, const RECT& where, const std::array<int32_t, 4>& start) {
    folder.Write(L"cues.srt", Bytes(cues.begin(), cues.end()));
    Settings s;
    s.hour = start[0], s.min = start[1], s.sec = start[2], s.millis = start[3];
    s.color = kText, s.file = Narrow(folder.FilePath(L"cues.srt")), s.overlay = where;
    s.font.lfHeight = -40, s.font.lfWeight = FW_BOLD, s.font.lfQuality = NONANTIALIASED_QUALITY;
    lstrcpyA(s.font.lfFaceName, "Tahoma");
    folder.Write(kSettingsFile, EncodeSettings(s));
}

HWND KelvaneTest::StartOverlay() {
    Click(panel, IDOK);
    return app->WaitForCaption(kCaption);
}

}  // namespace e2e

// GoogleTest's flags, then "--kelvane=PATH" naming the program under test. CTest passes a Unix path; Wine's
// drive Z: is the Unix root.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--kelvane=", 10) == 0) {
            std::string path = argv[i] + 10;
            std::replace(path.begin(), path.end(), '/', '\\');
            e2e::g_program = (path[0] == '\\' ? L"Z:" : L"") + std::wstring(path.begin(), path.end());
        }
    return RUN_ALL_TESTS();
}

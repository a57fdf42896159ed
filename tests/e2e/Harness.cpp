#include "Harness.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace e2e {

namespace {

// Sends to another process's window without ever hanging the harness: a window
// that does not answer within this time counts as having failed the message.
constexpr UINT kSendTimeout = 10000;

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, kSendTimeout, &result);
    return static_cast<LRESULT>(result);
}

std::wstring& ProgramPathStorage() {
    static std::wstring path;
    return path;
}

std::wstring Widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

void DeleteTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The Unix path of a Windows path under Wine (empty elsewhere).
std::wstring UnixPath(const std::wstring& path) {
    using ToUnix = char* (*)(const WCHAR*);
    HMODULE k = GetModuleHandleW(L"kernel32.dll");
    auto fn = k ? reinterpret_cast<ToUnix>(reinterpret_cast<void*>(GetProcAddress(k, "wine_get_unix_file_name")))
                : nullptr;
    if (!fn) return {};
    char* unix = fn(path.c_str());
    if (!unix) return {};
    std::wstring result = Widen(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Starts a Unix program under Wine (Wine runs a non-Windows executable directly).
// The child is not waited for: Wine's handle of it does not signal its end, so
// callers poll for its effect.
bool RunUnix(const std::wstring& commandLine) {
    std::wstring cmd = commandLine;
    const std::wstring exe = ToWindowsPath(std::string(cmd.begin(), cmd.begin() + cmd.find(L' ')));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool Writable(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

void Put32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

struct Reader {
    const Bytes& b;
    size_t pos = 0;
    bool ok = true;
    uint32_t Get(int n) {
        if (pos + n > b.size()) {
            ok = false;
            return 0;
        }
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) v |= static_cast<uint32_t>(b[pos + i]) << (8 * i);
        pos += n;
        return v;
    }
    int32_t GetInt() { return static_cast<int32_t>(Get(4)); }
};

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeout) {
    const ULONGLONG end = GetTickCount64() + timeout;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return done();
        Pump(20);
    }
}

void Pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        DWORD left = static_cast<DWORD>(end > GetTickCount64() ? end - GetTickCount64() : 0);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(left, 10), QS_ALLINPUT);
    } while (GetTickCount64() < end);
}

// ---- Program path ----------------------------------------------------------

std::wstring ToWindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return Widen(path);
    // Wine maps Unix paths through its own export; fall back on drive Z:, which
    // a default Wine prefix maps to the Unix root.
    using ToDos = WCHAR* (*)(const char*);
    if (HMODULE k = GetModuleHandleW(L"kernel32.dll")) {
        auto fn = reinterpret_cast<ToDos>(
            reinterpret_cast<void*>(GetProcAddress(k, "wine_get_dos_file_name")));
        if (fn) {
            if (WCHAR* dos = fn(path.c_str())) {
                std::wstring result = dos;
                HeapFree(GetProcessHeap(), 0, dos);
                return result;
            }
        }
    }
    std::wstring w = L"Z:" + Widen(path);
    std::replace(w.begin(), w.end(), L'/', L'\\');
    return w;
}

void InitProgramPath(int argc, char** argv) {
    const std::string flag = "--kelvane=";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.compare(0, flag.size(), flag) == 0) ProgramPathStorage() = ToWindowsPath(arg.substr(flag.size()));
    }
    if (ProgramPathStorage().empty()) {
        wchar_t self[MAX_PATH];
        DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring dir(self, n);
        dir.erase(dir.find_last_of(L"\\/") + 1);
        ProgramPathStorage() = dir + L"Kelvane.exe";
    }
}

std::wstring ProgramPath() {
    return ProgramPathStorage();
}

// ---- Temporary folder ------------------------------------------------------

TempFolder::TempFolder() {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    static unsigned counter = 0;
    for (;;) {
        std::wstring candidate = std::wstring(tmp) + L"kelvane-e2e-" + std::to_wstring(GetCurrentProcessId()) +
                                 L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create a temporary folder");
    }
}

TempFolder::~TempFolder() {
    for (const std::wstring& name : immutable_) RunUnix(L"/usr/bin/chattr -i " + UnixPath(FilePath(name)));
    for (const std::wstring& name : immutable_) WaitUntil([&] { return Writable(FilePath(name)); }, 5000);
    DeleteTree(path_);
}

std::wstring TempFolder::FilePath(const std::wstring& name) const {
    return path_ + L"\\" + name;
}

void TempFolder::Write(const std::wstring& name, const Bytes& bytes) const {
    HANDLE h = CreateFileW(FilePath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write a test file");
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

void TempFolder::WriteText(const std::wstring& name, const std::string& text) const {
    Write(name, Bytes(text.begin(), text.end()));
}

bool TempFolder::Exists(const std::wstring& name) const {
    return GetFileAttributesW(FilePath(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Bytes TempFolder::Read(const std::wstring& name) const {
    // Kelvane holds its settings file without sharing while it runs; a read then
    // fails and returns nothing, like a missing file.
    HANDLE h = CreateFileW(FilePath(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    Bytes out(GetFileSize(h, nullptr));
    DWORD got = 0;
    if (!out.empty()) ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    out.resize(got);
    CloseHandle(h);
    return out;
}

std::optional<uint64_t> TempFolder::FileSize(const std::wstring& name) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(FilePath(name).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool TempFolder::MakeUnwritable(const std::wstring& name) {
    const std::wstring path = FilePath(name);
    SetReadOnly(name, true);
    if (!Writable(path)) return true;
    if (!RunningUnderWine()) return false;
    // Wine maps the attribute to the Unix mode bits, which root may ignore.
    // The immutable flag holds for root too; Wine can start the Unix tool.
    if (!RunUnix(L"/usr/bin/chattr +i " + UnixPath(path))) return false;
    immutable_.push_back(name);
    return WaitUntil([&] { return !Writable(path); }, 5000);
}

void TempFolder::SetReadOnly(const std::wstring& name, bool readOnly) const {
    SetFileAttributesW(FilePath(name).c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

// ---- Settings record -------------------------------------------------------

const wchar_t kSettingsFile[] = L"Kelvane.DAT";

static_assert(sizeof(LOGFONTA) == 60, "the font description is stored as 60 bytes");

Bytes EncodeSettings(const Settings& s) {
    Bytes out;
    Put32(out, static_cast<uint32_t>(s.delay));
    Put32(out, static_cast<uint32_t>(s.hour));
    Put32(out, static_cast<uint32_t>(s.min));
    Put32(out, static_cast<uint32_t>(s.sec));
    Put32(out, static_cast<uint32_t>(s.millis));
    Put32(out, s.color);
    const size_t n = s.file.size();
    if (n < 0xFF) {
        out.push_back(static_cast<uint8_t>(n));
    } else if (n < 0xFFFE) {
        out.push_back(0xFF);
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(static_cast<uint8_t>(n >> 8));
    } else {
        out.insert(out.end(), {0xFF, 0xFF, 0xFF});
        Put32(out, static_cast<uint32_t>(n));
    }
    out.insert(out.end(), s.file.begin(), s.file.end());
    Put32(out, static_cast<uint32_t>(s.overlay.left));
    Put32(out, static_cast<uint32_t>(s.overlay.top));
    Put32(out, static_cast<uint32_t>(s.overlay.right));
    Put32(out, static_cast<uint32_t>(s.overlay.bottom));
    const auto* font = reinterpret_cast<const uint8_t*>(&s.font);
    out.insert(out.end(), font, font + sizeof(LOGFONTA));
    return out;
}

size_t RecordLength(const Settings& s) {
    const size_t n = s.file.size();
    return 100 + (n < 0xFF ? 1 : n < 0xFFFE ? 3 : 7) + n;
}

std::optional<Settings> DecodeSettings(const Bytes& bytes) {
    Reader r{bytes};
    Settings s;
    s.delay = r.GetInt();
    s.hour = r.GetInt();
    s.min = r.GetInt();
    s.sec = r.GetInt();
    s.millis = r.GetInt();
    s.color = r.Get(4);
    uint32_t n = r.Get(1);
    if (n == 0xFF) {
        n = r.Get(2);
        if (n == 0xFFFF) n = r.Get(4);
    }
    if (!r.ok || r.pos + n > bytes.size()) return std::nullopt;
    s.file.assign(bytes.begin() + r.pos, bytes.begin() + r.pos + n);
    r.pos += n;
    s.overlay.left = r.GetInt();
    s.overlay.top = r.GetInt();
    s.overlay.right = r.GetInt();
    s.overlay.bottom = r.GetInt();
    if (!r.ok || r.pos + sizeof(LOGFONTA) > bytes.size()) return std::nullopt;
    std::memcpy(&s.font, bytes.data() + r.pos, sizeof(LOGFONTA));
    return s;
}

LOGFONTA MakeFont(const char* face, LONG height, LONG weight) {
    LOGFONTA f{};
    f.lfHeight = height;
    f.lfWeight = weight;
    lstrcpynA(f.lfFaceName, face, LF_FACESIZE);
    return f;
}

std::string FaceName(const LOGFONTA& font) {
    return std::string(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
}

// ---- Windows ---------------------------------------------------------------

std::wstring ClassName(HWND hwnd) {
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::wstring WindowText(HWND hwnd) {
    const LRESULT len = Send(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    const LRESULT got = Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min<LRESULT>(got, len))));
    return text;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> out;
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    return out;
}

std::wstring AllChildText(HWND dialog) {
    std::wstring all;
    for (HWND child : Children(dialog)) {
        std::wstring t = WindowText(child);
        if (t.empty()) continue;
        if (!all.empty()) all += L'\n';
        all += t;
    }
    return all;
}

HWND FindChildByClass(HWND parent, const wchar_t* cls) {
    for (HWND child : Children(parent))
        if (_wcsicmp(ClassName(child).c_str(), cls) == 0) return child;
    return nullptr;
}

std::wstring ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item ? WindowText(item) : std::wstring();
}

void SetItemText(HWND dialog, int id, const std::wstring& text) {
    if (HWND item = GetDlgItem(dialog, id)) Send(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND dialog, int id) {
    if (HWND item = GetDlgItem(dialog, id)) Send(item, BM_CLICK, 0, 0);
}

void PostClick(HWND dialog, int id) {
    if (HWND item = GetDlgItem(dialog, id)) PostMessageW(item, BM_CLICK, 0, 0);
}

HWND FocusOf(HWND hwnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

int FocusedId(HWND hwnd) {
    HWND focus = FocusOf(hwnd);
    return focus ? GetDlgCtrlID(focus) : 0;
}

void PressKey(HWND hwnd, UINT vk, bool alt) {
    // Messages posted to the dialog window itself would reach the dialog
    // manager too, but a real key press arrives at the focused control.
    HWND target = FocusOf(hwnd);
    if (!target) target = hwnd;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM altBit = alt ? (1 << 29) : 0;
    PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 1 | scan | altBit);
    PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, 1 | scan | altBit | (1u << 30) | (1u << 31));
}

void TypeChar(HWND hwnd, wchar_t ch) {
    HWND target = FocusOf(hwnd);
    PostMessageW(target ? target : hwnd, WM_CHAR, ch, 1);
}

std::wstring MessageText(HWND box) {
    // A message box's words sit in a static control with id 0xFFFF.
    return ItemText(box, 0xFFFF);
}

LONG_PTR Style(HWND hwnd) {
    return GetWindowLongPtrW(hwnd, GWL_STYLE);
}

LONG_PTR ExStyle(HWND hwnd) {
    return GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT ClientScreenRect(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// ---- Screen pixels ---------------------------------------------------------

ScreenShot::ScreenShot(const RECT& area) : area_(area) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    pixels_.assign(p, p + static_cast<size_t>(w) * h);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

COLORREF ScreenShot::At(int x, int y) const {
    const int w = area_.right - area_.left;
    const uint32_t p = pixels_.at(static_cast<size_t>(y - area_.top) * w + (x - area_.left));
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

size_t ScreenShot::Count(COLORREF colour, int tolerance) const {
    size_t n = 0;
    for (uint32_t p : pixels_) {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        if (std::abs(r - GetRValue(colour)) <= tolerance && std::abs(g - GetGValue(colour)) <= tolerance &&
            std::abs(b - GetBValue(colour)) <= tolerance)
            ++n;
    }
    return n;
}

// ---- Solid window ----------------------------------------------------------

SolidWindow::SolidWindow(const RECT& rect, COLORREF colour, bool topmost) {
    static const wchar_t kClass[] = L"KelvaneE2ESolid";
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);
        registered = true;
    }
    brush_ = CreateSolidBrush(colour);
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | (topmost ? WS_EX_TOPMOST : 0), kClass, L"Kelvane e2e backdrop",
                            WS_POPUP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    SetClassLongPtrW(hwnd_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush_));
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
    Pump(50);
}

SolidWindow::~SolidWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (brush_) DeleteObject(brush_);
}

// ---- Program ---------------------------------------------------------------

Program::Program(const TempFolder& folder, const std::wstring& tail) {
    const std::wstring exe = ProgramPath();
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!tail.empty()) cmd += L" " + tail;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.Path().c_str(), &si,
                        &pi))
        throw std::runtime_error("cannot start Kelvane.exe (error " + std::to_string(GetLastError()) + ")");
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
}

Program::~Program() {
    Terminate();
    if (process_) CloseHandle(process_);
}

bool Program::Running() const {
    return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(DWORD timeout, DWORD* code) {
    if (!WaitUntil([&] { return !Running(); }, timeout)) return false;
    if (code) GetExitCodeProcess(process_, code);
    return true;
}

void Program::Terminate() {
    if (process_ && Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 10000);
    }
}

std::vector<HWND> Program::Windows(bool all) const {
    struct Ctx {
        DWORD pid;
        bool all;
        std::vector<HWND> out;
    } ctx{pid_, all, {}};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto& c = *reinterpret_cast<Ctx*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (pid == c.pid && (c.all || IsWindowVisible(h))) c.out.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.out;
}

HWND Program::WaitForWindow(const wchar_t* caption, const wchar_t* cls, const std::vector<HWND>& except,
                            DWORD timeout) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : Windows()) {
                if (std::find(except.begin(), except.end(), h) != except.end()) continue;
                if (cls && ClassName(h) != cls) continue;
                if (caption && WindowText(h) != caption) continue;
                found = h;
                return true;
            }
            return false;
        },
        timeout);
    return found;
}

HWND Program::WaitForPanel(DWORD timeout) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : Windows())
                if (ClassName(h) == L"#32770" && WindowText(h) == L"Kelvane" && GetDlgItem(h, 1000)) {
                    found = h;
                    return true;
                }
            return false;
        },
        timeout);
    return found;
}

HWND Program::WaitForMessageBox(const std::vector<HWND>& except, DWORD timeout) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : Windows()) {
                if (std::find(except.begin(), except.end(), h) != except.end()) continue;
                if (ClassName(h) == L"#32770" && GetDlgItem(h, 0xFFFF)) {
                    found = h;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

HWND Program::WaitForOtherDialog(const std::vector<HWND>& except, DWORD timeout) const {
    return WaitForWindow(nullptr, L"#32770", except, timeout);
}

// ---- Common dialogs --------------------------------------------------------

void PickFile(HWND chooser, const std::wstring& path) {
    // The explorer-style chooser holds the file name in a combo box (cmb13) whose
    // edit field takes the text; older templates use a plain edit (edt1).
    HWND field = nullptr;
    if (HWND combo = GetDlgItem(chooser, cmb13)) field = FindChildByClass(combo, L"Edit");
    if (!field) field = GetDlgItem(chooser, edt1);
    if (field) Send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostClick(chooser, IDOK);
}

namespace {

// Selects the item of a chooser's combo box whose text is `text` (exactly, in any
// letter case) and tells the chooser, as a selection by the user does. False when
// the list has no such item.
bool SelectComboText(HWND chooser, int id, const std::wstring& text) {
    HWND combo = GetDlgItem(chooser, id);
    if (!combo) return false;
    const LRESULT index = Send(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR) return false;
    Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Send(chooser, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return true;
}

}  // namespace

bool PickFont(HWND chooser, const std::wstring& face, const std::wstring& size, std::optional<COLORREF> colour) {
    if (!face.empty() && !SelectComboText(chooser, cmb1, face)) return false;
    if (!size.empty() && !SelectComboText(chooser, cmb3, size)) return false;
    if (colour) {
        HWND list = GetDlgItem(chooser, cmb4);
        const LRESULT count = Send(list, CB_GETCOUNT, 0, 0);
        LRESULT index = 0;
        while (index < count && static_cast<COLORREF>(Send(list, CB_GETITEMDATA, index, 0)) != *colour) ++index;
        if (index == count) return false;
        Send(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        Send(chooser, WM_COMMAND, MAKEWPARAM(cmb4, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    PostClick(chooser, IDOK);
    return true;
}

std::vector<std::wstring> ComboItems(HWND chooser, int id) {
    std::vector<std::wstring> items;
    HWND combo = GetDlgItem(chooser, id);
    const LRESULT count = combo ? Send(combo, CB_GETCOUNT, 0, 0) : 0;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT len = Send(combo, CB_GETLBTEXTLEN, i, 0);
        if (len < 0) continue;
        std::wstring text(static_cast<size_t>(len) + 1, L'\0');
        Send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(len));
        items.push_back(text);
    }
    return items;
}

}  // namespace e2e

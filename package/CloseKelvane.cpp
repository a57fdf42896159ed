// The installer's custom action that closes Kelvane before the installer changes
// or removes its files. The files of a running program cannot be removed, and the
// installer's own files-in-use handling is not there everywhere (Wine has none):
// an uninstall would report success and leave them behind. Every Kelvane.exe
// started from the install folder gets WM_CLOSE on its visible windows (the panel
// then saves its settings and ends, as on Exit) and is waited for; one that does
// not end in time fails the installation with a message, and nothing is changed.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kCloseTimeoutMs = 15000;

struct Handle {
    HANDLE h;
    ~Handle() { if (h && h != INVALID_HANDLE_VALUE) ::CloseHandle(h); }
};

bool SameText(const std::wstring& a, const wchar_t* b)
{
    return ::CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

std::wstring Property(MSIHANDLE hInstall, const wchar_t* name)
{
    DWORD nChars = 0;
    wchar_t none[1] = L"";
    if (::MsiGetPropertyW(hInstall, name, none, &nChars) != ERROR_MORE_DATA)
        return {};
    std::wstring value(++nChars, L'\0');
    if (::MsiGetPropertyW(hInstall, name, value.data(), &nChars) != ERROR_SUCCESS)
        return {};
    value.resize(nChars);
    return value;
}

// The processes whose program is this file, opened for waiting.
std::vector<HANDLE> ProcessesOf(const std::wstring& program, std::vector<DWORD>& ids)
{
    std::vector<HANDLE> processes;
    Handle snapshot{::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)};
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    if (snapshot.h == INVALID_HANDLE_VALUE || !::Process32FirstW(snapshot.h, &entry))
        return processes;
    do {
        if (!SameText(L"Kelvane.exe", entry.szExeFile) || processes.size() == MAXIMUM_WAIT_OBJECTS)
            continue;
        HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        std::wstring image(32768, L'\0');  // the longest path there is
        DWORD nChars = static_cast<DWORD>(image.size());
        if (process && ::QueryFullProcessImageNameW(process, 0, image.data(), &nChars) &&
            SameText(program, image.c_str())) {
            processes.push_back(process);
            ids.push_back(entry.th32ProcessID);
        } else if (process) {
            ::CloseHandle(process);
        }
    } while (::Process32NextW(snapshot.h, &entry));
    return processes;
}

BOOL CALLBACK PostClose(HWND hWnd, LPARAM lParam)
{
    const auto& ids = *reinterpret_cast<const std::vector<DWORD>*>(lParam);
    DWORD id = 0;
    ::GetWindowThreadProcessId(hWnd, &id);
    for (DWORD wanted : ids)
        if (id == wanted && ::IsWindowVisible(hWnd))
            ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall CloseKelvane(MSIHANDLE hInstall)
{
    const std::wstring folder = Property(hInstall, L"INSTALLDIR");
    if (folder.empty())
        return ERROR_SUCCESS;  // nothing installed where a program could run from
    const std::wstring program = folder + (folder.back() == L'\\' ? L"" : L"\\") + L"Kelvane.exe";
    std::vector<DWORD> ids;
    const std::vector<HANDLE> processes = ProcessesOf(program, ids);
    if (processes.empty())
        return ERROR_SUCCESS;
    ::EnumWindows(PostClose, reinterpret_cast<LPARAM>(&ids));
    const DWORD waited = ::WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), TRUE,
                                                  kCloseTimeoutMs);
    for (HANDLE process : processes)
        ::CloseHandle(process);
    if (waited < WAIT_OBJECT_0 + processes.size())
        return ERROR_SUCCESS;
    // Shown with a user interface; a quiet run ends with the failure's exit code.
    PMSIHANDLE record = ::MsiCreateRecord(1);
    ::MsiRecordSetStringW(record, 0, L"Kelvane is still running from [1]. Close it, then try again.");
    ::MsiRecordSetStringW(record, 1, folder.c_str());
    ::MsiProcessMessage(hInstall, INSTALLMESSAGE_ERROR, record);
    return ERROR_INSTALL_FAILURE;
}

#include "panel/FileArgument.h"

#include <algorithm>
#include <vector>

#include "core/CommandLine.h"
#include "core/Unicode.h"

namespace {

// The full UTF-8 path of an existing file (not a folder), else empty.
std::string ExistingFile(const std::wstring& path)
{
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    const DWORD nChars = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::vector<wchar_t> full(nChars + 1);
    if (nChars == 0 || ::GetFullPathNameW(path.c_str(), nChars + 1, full.data(), nullptr) == 0)
        return WideToUtf8(path);
    return WideToUtf8(full.data());
}

}  // namespace

std::string FileFromCommandLine(const wchar_t* commandLine)
{
    const wchar_t* tail = CutCommandTail(commandLine);
    if (IsBatchModeTail(WideToUtf8(tail).c_str()))
        return {};
    return ExistingFile(std::wstring(FileNameInTail(tail)));
}

std::string FileFromDrop(HDROP hDrop)
{
    std::string path;
    const UINT nChars = ::DragQueryFileW(hDrop, 0, nullptr, 0);
    if (nChars > 0) {
        std::vector<wchar_t> name(nChars + 1);
        if (::DragQueryFileW(hDrop, 0, name.data(), nChars + 1) > 0)
            path = ExistingFile(name.data());
    }
    ::DragFinish(hDrop);
    return path;
}

std::string SettingsFolder(const wchar_t* commandLine)
{
    if (FileFromCommandLine(commandLine).empty())
        return {};
    std::wstring module(MAX_PATH, L'\0');
    for (DWORD n; (n = ::GetModuleFileNameW(nullptr, &module[0], static_cast<DWORD>(module.size()))) >= module.size();)
        module.resize(module.size() * 2);
    module.resize(std::min(module.find(L'\0'), module.find_last_of(L"\\/")));
    if (module.empty())
        return {};
    // Can a file be made there? A probe of our own, gone when closed.
    const std::wstring probe = module + L"\\Kelvane." + std::to_wstring(::GetCurrentProcessId()) + L".probe";
    HANDLE hProbe = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (hProbe == INVALID_HANDLE_VALUE)
        return {};
    ::CloseHandle(hProbe);
    return WideToUtf8(module);
}

void ShowFile(HWND hCtl, const std::string& path)
{
    ::SetWindowTextW(hCtl, Utf8ToWide(path).c_str());
}

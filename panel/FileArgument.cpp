#include "panel/FileArgument.h"

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

void ShowFile(HWND hCtl, const std::string& path)
{
    ::SetWindowTextW(hCtl, Utf8ToWide(path).c_str());
}

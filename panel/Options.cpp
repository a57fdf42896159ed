#include "panel/Options.h"

#include <windows.h>

#include "core/Unicode.h"

namespace {

const wchar_t kFileName[] = L"Kelvane.ini";

}  // namespace

COptionValues& COptions::Current()
{
    static COptionValues values;
    return values;
}

std::wstring& COptions::Path()
{
    static std::wstring path;
    if (path.empty()) {
        // A full path: a bare file name would be looked for in the Windows
        // folder, and the current folder may change later (the file chooser).
        wchar_t full[MAX_PATH * 4];
        const DWORD n = ::GetFullPathNameW(kFileName, MAX_PATH * 4, full, nullptr);
        path = n > 0 && n < MAX_PATH * 4 ? full : std::wstring(L".\\") + kFileName;
    }
    return path;
}

void COptions::Load()
{
    const std::wstring section = Utf8ToWide(COptionValues::kSection);
    Current().Read([&](const char* key, std::string& value) {
        wchar_t text[64];
        ::GetPrivateProfileStringW(section.c_str(), Utf8ToWide(key).c_str(), L"", text, 64, Path().c_str());
        value = WideToUtf8(text);
        return true;  // a missing key reads empty, which is no value
    });
}

bool COptions::Save()
{
    const std::wstring section = Utf8ToWide(COptionValues::kSection);
    const bool ok = Current().Write([&](const char* key, const std::string& value) {
        return ::WritePrivateProfileStringW(section.c_str(), Utf8ToWide(key).c_str(), Utf8ToWide(value).c_str(),
                                            Path().c_str()) != FALSE;
    });
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, Path().c_str());  // flush
    return ok;
}

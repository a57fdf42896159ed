#include "panel/Options.h"

#include <windows.h>

#include "core/Unicode.h"

std::wstring OptionsFileHere()
{
    const wchar_t kFileName[] = L"Kelvane.ini";
    wchar_t full[MAX_PATH * 4];
    const DWORD n = ::GetFullPathNameW(kFileName, MAX_PATH * 4, full, nullptr);
    return n > 0 && n < MAX_PATH * 4 ? full : std::wstring(L".\\") + kFileName;
}

COptionValues LoadOptions(const std::wstring& path)
{
    const std::wstring section = Utf8ToWide(COptionValues::kSection);
    COptionValues values;
    values.Read([&](const char* key, std::string& value) {
        wchar_t text[256];
        ::GetPrivateProfileStringW(section.c_str(), Utf8ToWide(key).c_str(), L"", text, 256, path.c_str());
        value = WideToUtf8(text);
        return true;  // a missing key reads empty, which is no value
    });
    return values;
}

bool SaveOptions(const std::wstring& path, const COptionValues& values)
{
    const std::wstring section = Utf8ToWide(COptionValues::kSection);
    const bool ok = values.Write([&](const char* key, const std::string& value) {
        return ::WritePrivateProfileStringW(section.c_str(), Utf8ToWide(key).c_str(), Utf8ToWide(value).c_str(),
                                            path.c_str()) != FALSE;
    });
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());  // flush
    return ok;
}

#include "panel/Options.h"

#include <windows.h>

#include "core/Unicode.h"

namespace {

// What a section's Read asks for: a missing key reads empty, which is no value.
std::function<bool(const char*, std::string&)> Getter(const std::wstring& path, const char* section)
{
    return [path, wSection = Utf8ToWide(section)](const char* key, std::string& value) {
        wchar_t text[256];
        ::GetPrivateProfileStringW(wSection.c_str(), Utf8ToWide(key).c_str(), L"", text, 256, path.c_str());
        value = WideToUtf8(text);
        return true;
    };
}

std::function<bool(const char*, const std::string&)> Putter(const std::wstring& path, const char* section)
{
    return [path, wSection = Utf8ToWide(section)](const char* key, const std::string& value) {
        return ::WritePrivateProfileStringW(wSection.c_str(), Utf8ToWide(key).c_str(), Utf8ToWide(value).c_str(),
                                            path.c_str()) != FALSE;
    };
}

}  // namespace

std::wstring OptionsFileIn(const std::string& folder)
{
    const std::wstring name = (folder.empty() ? L"." : Utf8ToWide(folder)) + L"\\Kelvane.ini";
    wchar_t full[MAX_PATH * 4];
    const DWORD n = ::GetFullPathNameW(name.c_str(), MAX_PATH * 4, full, nullptr);
    return n > 0 && n < MAX_PATH * 4 ? full : name;
}

COptionValues LoadOptions(const std::wstring& path)
{
    COptionValues values;
    values.Read(Getter(path, COptionValues::kSection));
    if (values.nCodePage && !::IsValidCodePage(values.nCodePage))
        values.nCodePage = 0;  // a code page this system does not have: auto
    return values;
}

CPlayerConfig LoadPlayerConfig(const std::wstring& path)
{
    CPlayerConfig player;
    player.Read(Getter(path, CPlayerConfig::kSection));
    return player;
}

bool SaveOptions(const std::wstring& path, const COptionValues& values, const CPlayerConfig& player)
{
    bool ok = values.Write(Putter(path, COptionValues::kSection));
    ok = player.Write(Putter(path, CPlayerConfig::kSection)) && ok;
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());  // flush
    return ok;
}

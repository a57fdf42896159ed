#include "framework/Report.h"

#include "core/Unicode.h"
#include "framework/WinApp.h"

const char* const kSettingsReadFailedText =
    "The settings in Kelvane.DAT could not be read:\n"
    "the file is damaged or incomplete.\n\n"
    "Kelvane starts with the values shown.";

const char* const kSettingsWriteFailedText = "The settings could not be saved to Kelvane.DAT.";

namespace {
MessageHook g_hook = nullptr;
}

int ReportMessage(HWND hOwner, const std::string& text, UINT nType)
{
    if (g_hook)
        return g_hook(hOwner, text, nType);
    if (!hOwner)
        hOwner = AfxGetMainWndHandle();
    return ::MessageBoxW(hOwner, Utf8ToWide(text).c_str(), Utf8ToWide(AfxGetAppName()).c_str(), nType);
}

MessageHook SetMessageHook(MessageHook hook)
{
    MessageHook previous = g_hook;
    g_hook = hook;
    return previous;
}

std::string SettingsNotWritableText(const char* fileName, DWORD openError)
{
    const std::wstring name = Utf8ToWide(fileName);
    std::wstring full(MAX_PATH * 4, L'\0');
    const DWORD length = ::GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    full.resize(length > 0 && length < full.size() ? length : 0);
    const std::string path = full.empty() ? std::string(fileName) : WideToUtf8(full);

    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    std::string why;
    if (openError == ERROR_SHARING_VIOLATION || openError == ERROR_LOCK_VIOLATION)
        why = "is in use by another program (perhaps another Kelvane)";
    else if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        why = "is a folder, not a file";
    else
        why = "cannot be written (it is read-only, or its folder does not allow changes)";
    return "The settings file\n" + path + "\n" + why + ".\n\nKelvane works as usual, but your settings will not be "
                                                        "saved this time.";
}

std::string SettingsReadFailedText(bool canSave, const std::string& notWritable)
{
    return std::string(kSettingsReadFailedText) + "\n" +
           (canSave ? "Exit saves them and repairs the file." : "\n" + notWritable);
}

std::string SettingsSaveFailedText(bool undone)
{
    return std::string(kSettingsWriteFailedText) + " The disk may be full or the file unavailable.\n\n" +
           (undone ? "The file is left exactly as it was before."
                   : "The file could not be put back as it was and may now be damaged.");
}

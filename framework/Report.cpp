#include "framework/Report.h"

#include "framework/Unicode.h"
#include "framework/WinApp.h"

const char* const kSettingsReadFailedText =
    "The settings in Kelvane.DAT could not be read:\n"
    "the file is damaged or incomplete.\n\n"
    "Kelvane starts with the values shown.\n"
    "Exit saves them and repairs the file.";

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

std::string SettingsSaveFailedText(bool undone)
{
    return std::string(kSettingsWriteFailedText) + " The disk may be full or the file unavailable.\n\n" +
           (undone ? "The file is left exactly as it was before."
                   : "The file could not be put back as it was and may now be damaged.");
}

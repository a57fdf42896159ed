#pragma once
// Messages of this layer to the user (validation, the settings file). Tests
// install a hook to see the messages instead of a blocking message box.

#include <windows.h>

#include <string>

using MessageHook = int (*)(HWND hOwner, const std::string& text, UINT nType);

// Shows a message box (text in UTF-8) with the application's title; returns
// the box's result.
int ReportMessage(HWND hOwner, const std::string& text, UINT nType = MB_OK | MB_ICONEXCLAMATION);
// Replaces the message box by hook (null restores it); returns the previous hook.
MessageHook SetMessageHook(MessageHook hook);

// The words shown when the settings file could not be read.
extern const char* const kSettingsReadFailedText;
// The words shown when the settings could not be written.
extern const char* const kSettingsWriteFailedText;

// The settings file (a name, UTF-8) could not be opened for writing, for the
// platform's reason openError: names it, says why as far as known, and that
// the settings will not be saved this time.
std::string SettingsNotWritableText(const char* fileName, DWORD openError);
// A failed load; canSave: Exit will write the file, repairing it. Otherwise
// notWritable (SettingsNotWritableText) follows.
std::string SettingsReadFailedText(bool canSave, const std::string& notWritable);
// A failed save: the file was put back as it was (undone), or perhaps not.
std::string SettingsSaveFailedText(bool undone);

#pragma once
// A subtitle file handed to the panel from outside: named on the command line
// (as Explorer's "Open with" passes it, quoted or not) or dropped onto the panel.
// Paths come in as UTF-16 and leave as UTF-8, the program's own form.

#include <windows.h>
#include <shellapi.h>

#include <string>

// The file that the command line's tail names, as a full UTF-8 path. Empty when
// the tail is empty, is the batch-mode keyword, or names no existing file (the
// whole tail, or the quoted name that opens it; blanks at the end do not count):
// such tails are ignored.
std::string FileFromCommandLine(const wchar_t* commandLine);

// The first file of a drop as a full UTF-8 path (empty when it is a folder);
// releases the drop.
std::string FileFromDrop(HDROP hDrop);

// The folder that keeps Kelvane.DAT and Kelvane.ini, UTF-8. Started with a
// file argument (as Explorer's "Open with" starts it, in the document's
// folder), the folder of Kelvane.exe when a file can be made there; else, and
// for a plain start or batch mode, empty: the current folder.
std::string SettingsFolder(const wchar_t* commandLine);

// Shows a UTF-8 path in a control through the wide window-text API.
void ShowFile(HWND hCtl, const std::string& path);

#pragma once
// The command-line tail: what follows the program name on the full command line.

// Returns the tail of the full command line (a pointer into it): the program
// name, quoted or not, and the white space after it are cut off.
const char* CutCommandTail(const char* commandLine);
// The same cut on a wide command line (on Windows, GetCommandLineW's UTF-16).
const wchar_t* CutCommandTail(const wchar_t* commandLine);

// True when the tail is the keyword "batchmode", whole, in any letter case.
bool IsBatchModeTail(const char* tail);

#pragma once
// The command-line tail: what follows the program name on the full command line.

#include <string_view>

// Returns the tail of the full command line (a pointer into it): the program
// name, quoted or not, and the white space after it are cut off.
const char* CutCommandTail(const char* commandLine);
// The same cut on a wide command line (on Windows, GetCommandLineW's UTF-16).
const wchar_t* CutCommandTail(const wchar_t* commandLine);

// True when the tail is the keyword "batchmode", whole, in any letter case.
bool IsBatchModeTail(const char* tail);

// The file name that a tail holds, as a view into it: the tail without the white
// space at its end, or, when the tail opens with a double quote, what lies between
// that quote and the next, which only white space may follow. Empty when the quote
// is never closed or anything else follows it.
std::string_view FileNameInTail(std::string_view tail);
std::wstring_view FileNameInTail(std::wstring_view tail);

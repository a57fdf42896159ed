#pragma once
// The options in use, kept in Kelvane.ini in the current folder (section
// [Options]) through the platform's profile functions. A missing file or a bad
// value gives the default; a file that cannot be written blocks nothing.

#include <string>

#include "core/OptionValues.h"

class COptions {
public:
    // The options in use: the defaults until Load.
    static COptionValues& Current();
    // Fixes the file as Kelvane.ini in the current folder, and reads it.
    static void Load();
    // Writes Current() to the file; false when it could not be written.
    static bool Save();

private:
    static std::wstring& Path();
};

#pragma once
// Kelvane.ini, sections [Options] and [Player], read and written through the
// platform's profile functions. A missing file or a bad value gives the
// default; a file that cannot be written blocks nothing.

#include <string>

#include "core/OptionValues.h"
#include "core/PlayerConfig.h"

// The full path of Kelvane.ini in a folder (UTF-8; empty: the current folder).
// A bare name would be looked for in the Windows folder, and the current
// folder may change later.
std::wstring OptionsFileIn(const std::string& folder);
COptionValues LoadOptions(const std::wstring& path);
CPlayerConfig LoadPlayerConfig(const std::wstring& path);
// False when the file could not be written.
bool SaveOptions(const std::wstring& path, const COptionValues& values, const CPlayerConfig& player);

#pragma once
// The portable rectangle and font description of the core (the settings
// record's) as the platform's RECT and LOGFONTA: the same bytes.

#include <windows.h>

#include <cstddef>
#include <cstring>

#include "core/SettingsRecord.h"

// The record's portable font and rectangle have the platform's layouts.
static_assert(sizeof(KLogFont) == sizeof(LOGFONTA), "KLogFont matches LOGFONTA");
static_assert(offsetof(KLogFont, lfWeight) == offsetof(LOGFONTA, lfWeight), "KLogFont matches LOGFONTA");
static_assert(offsetof(KLogFont, lfItalic) == offsetof(LOGFONTA, lfItalic), "KLogFont matches LOGFONTA");
static_assert(offsetof(KLogFont, lfPitchAndFamily) == offsetof(LOGFONTA, lfPitchAndFamily),
              "KLogFont matches LOGFONTA");
static_assert(offsetof(KLogFont, lfFaceName) == offsetof(LOGFONTA, lfFaceName), "KLogFont matches LOGFONTA");
static_assert(sizeof(KRect) == sizeof(RECT), "KRect matches RECT");
static_assert(offsetof(KRect, bottom) == offsetof(RECT, bottom), "KRect matches RECT");

inline LOGFONTA ToLogFontA(const KLogFont& lf)
{
    LOGFONTA out;
    std::memcpy(&out, &lf, sizeof out);
    return out;
}
inline KLogFont FromLogFontA(const LOGFONTA& lf)
{
    KLogFont out;
    std::memcpy(&out, &lf, sizeof out);
    return out;
}
inline RECT ToRect(const KRect& rc)
{
    return RECT{rc.left, rc.top, rc.right, rc.bottom};
}
inline KRect FromRect(const RECT& rc)
{
    return KRect{rc.left, rc.top, rc.right, rc.bottom};
}

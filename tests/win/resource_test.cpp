// The dialog templates as built into the program, compared with their tables:
// one row for the dialog (font, caption, extended style, position, style) and
// one per control in tab order (class, text, id, position, style).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

std::string Row(std::string what, const std::string& text, long id, int x, int y, int cx, int cy, DWORD style)
{
    char buffer[256];
    CharUpperA(what.data());  // class names are stored in any case
    std::snprintf(buffer, sizeof buffer, "%s|%s|%ld|%d,%d,%d,%d|%08lx", what.c_str(), text.c_str(), id, x, y, cx, cy,
                  static_cast<unsigned long>(style));
    return buffer;
}

std::vector<std::string> TemplateRows(UINT id)
{
    HRSRC hRes = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    const BYTE* const base = hRes ? static_cast<const BYTE*>(LockResource(LoadResource(nullptr, hRes))) : nullptr;
    const BYTE* p = base;
    auto word = [&p] { WORD w; std::memcpy(&w, p, 2); p += 2; return w; };
    auto dword = [&p] { DWORD d; std::memcpy(&d, p, 4); p += 4; return d; };
    auto text = [&]() -> std::string {  // a string, or an ordinal after 0xFFFF
        std::string s;
        for (WORD c = word(); c != 0; c = word()) {
            if (c == 0xFFFF && s.empty())
                return "#" + std::to_string(word());
            s += static_cast<char>(c);
        }
        return s;
    };
    if (!base)
        return {};
    // DIALOGEX (version 1, 0xFFFF, help id; extended style first) or DIALOG.
    const bool ex = std::memcmp(p, "\x01\x00\xFF\xFF", 4) == 0;
    auto styles = [&](DWORD& style, DWORD& exStyle) {
        exStyle = dword(), style = dword();
        if (!ex)
            std::swap(style, exStyle);
    };
    DWORD style, exStyle;
    p += ex ? 8 : 0;
    styles(style, exStyle);
    const int count = word();
    int r[4];
    auto rect = [&] { for (int& v : r) v = static_cast<short>(word()); };
    rect();
    text(), text();  // menu, class
    const std::string caption = text();
    std::string font = std::to_string(word());
    if (ex) {
        font += " " + std::to_string(word());  // weight, then italic and charset bytes
        font += " " + std::to_string(p[0]) + " " + std::to_string(p[1]);
        p += 2;
    }
    std::vector<std::string> rows{Row(text() + " " + font, caption, exStyle, r[0], r[1], r[2], r[3], style)};
    for (int i = 0; i < count; ++i) {
        p = base + ((p - base + 3) & ~3) + (ex ? 4 : 0);  // aligned; help id
        styles(style, exStyle);
        rect();
        const long itemId = ex ? static_cast<long>(dword()) : static_cast<short>(word());
        const std::string cls = text(), label = text();
        p += word();  // creation data
        rows.push_back(Row(cls, label, itemId, r[0], r[1], r[2], r[3], style | exStyle));
    }
    return rows;
}

TEST(Resources, DialogTemplatesMatchTheirTables)
{
    const DWORD child = WS_CHILD | WS_VISIBLE, label = child | SS_LEFT | WS_GROUP;
    const DWORD edit = child | ES_LEFT | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, number = edit | ES_NUMBER;
    const DWORD button = child | BS_PUSHBUTTON | WS_TABSTOP, popup = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
    const std::string font = "MS Sans Serif 8", icon = "#" + std::to_string(IDR_MAINFRAME);
    const std::pair<UINT, std::vector<std::string>> tables[] = {
        {IDD_CONTROL,
         {Row(font + " 0 0 1", "Kelvane", WS_EX_APPWINDOW, 0, 0, 209, 132,
              popup | WS_VISIBLE | WS_MINIMIZEBOX | DS_MODALFRAME),
          Row("Static", "Subtitle File:", -1, 10, 10, 120, 8, label), Row("Edit", "", IDC_FILE, 10, 25, 130, 14, edit),
          Row("Button", "Browse", IDC_BROWSE, 150, 25, 50, 14, button),
          Row("Static", "Delay in milliseconds:", -1, 10, 52, 70, 8, label),
          Row("Edit", "", IDC_DELAY, 80, 50, 60, 14, number), Row("Button", "Font", IDC_FONT, 150, 50, 50, 14, button),
          Row("Static", "From Hour:", -1, 10, 77, 34, 8, label), Row("Edit", "", IDC_HOUR, 50, 75, 15, 14, number),
          Row("Static", "Min:", -1, 71, 77, 13, 8, label), Row("Edit", "", IDC_MIN, 90, 75, 15, 14, number),
          Row("Static", "Sec:", -1, 111, 77, 15, 8, label), Row("Edit", "", IDC_SEC, 130, 75, 15, 14, number),
          Row("Static", "Millis:", -1, 151, 77, 18, 8, label), Row("Edit", "", IDC_MILLIS, 170, 75, 30, 14, number),
          Row("Button", "Start", IDOK, 15, 105, 50, 14, button | BS_DEFPUSHBUTTON),
          Row("Button", "Exit", IDCANCEL, 139, 105, 50, 14, button)}},
        {IDD_ABOUTBOX,
         {Row(font, "About Kelvane", 0, 0, 0, 235, 55, popup | DS_MODALFRAME),
          Row("Button", "OK", IDOK, 175, 5, 50, 14, child | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON),
          Row("Static", icon, -1, 10, 17, 20, 20, child | SS_ICON),
          Row("Static", "Kelvane Version 1.0", -1, 39, 10, 119, 8, label | SS_NOPREFIX),
          Row("Static", "Keys: Ctrl+Alt+Space, arrows, T", -1, 39, 25, 119, 8, label)}},
        {IDD_SUBTITLE,
         {Row(font, "Subtitle Window - Resize and doble left click to make transparent", 0, 0, 0, 328, 95,
              popup | WS_VISIBLE | WS_THICKFRAME | DS_SYSMODAL)}},
    };
    for (const auto& [id, rows] : tables)
        EXPECT_EQ(TemplateRows(id), rows) << "template " << id;
}

}  // namespace

// The resources as built into the program: the three dialog templates item by
// item, the strings, the icon group and the version block.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"

namespace {

struct Item {
    DWORD style;
    DWORD exStyle;
    int x, y, cx, cy;
    int id;
    std::string cls;  // class name, or "#<atom>"
    std::string text; // text, or "#<ordinal>"
};

struct Template {
    bool extended = false;
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption, face;
    int pointSize = 0, weight = 0, italic = 0, charset = 0;
    std::vector<Item> items;
};

class Reader {
public:
    explicit Reader(const BYTE* p) : m_base(p), m_p(p) {}
    WORD Word() { WORD w; memcpy(&w, m_p, 2); m_p += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, m_p, 4); m_p += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return *m_p++; }
    std::string WString()
    {
        std::string s;
        for (WORD c; (c = Word()) != 0;)
            s += static_cast<char>(c);
        return s;
    }
    std::string SzOrOrd()
    {
        WORD first;
        memcpy(&first, m_p, 2);
        if (first == 0xFFFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        return WString();
    }
    void AlignDword() { m_p = m_base + ((m_p - m_base + 3) & ~3); }

private:
    const BYTE* m_base;
    const BYTE* m_p;
};

Template LoadTemplate(UINT id)
{
    Template t;
    HMODULE hModule = GetModuleHandleA(nullptr);
    HRSRC hRes = FindResourceA(hModule, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    EXPECT_NE(hRes, nullptr) << id;
    if (!hRes)
        return t;
    Reader r(static_cast<const BYTE*>(LockResource(LoadResource(hModule, hRes))));
    WORD first = r.Word();
    WORD second = r.Word();
    int count;
    if (first == 1 && second == 0xFFFF) {
        t.extended = true;
        r.Dword();  // help id
        t.exStyle = r.Dword();
        t.style = r.Dword();
    } else {
        t.style = first | (static_cast<DWORD>(second) << 16);
        t.exStyle = r.Dword();
    }
    count = r.Word();
    t.x = r.Short();
    t.y = r.Short();
    t.cx = r.Short();
    t.cy = r.Short();
    r.SzOrOrd();  // menu
    r.SzOrOrd();  // class
    t.caption = r.WString();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Word();
        if (t.extended) {
            t.weight = r.Word();
            t.italic = r.Byte();
            t.charset = r.Byte();
        }
        t.face = r.WString();
    }
    for (int i = 0; i < count; ++i) {
        r.AlignDword();
        Item item;
        if (t.extended) {
            r.Dword();  // help id
            item.exStyle = r.Dword();
            item.style = r.Dword();
        } else {
            item.style = r.Dword();
            item.exStyle = r.Dword();
        }
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = t.extended ? static_cast<int>(r.Dword()) : static_cast<short>(r.Word());
        item.cls = r.SzOrOrd();
        item.text = r.SzOrOrd();
        const WORD extra = r.Word();
        for (WORD k = 0; k < extra; ++k)
            r.Byte();
        t.items.push_back(item);
    }
    return t;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const std::string kButton = "#128", kEdit = "#129", kStatic = "#130";

void ExpectItem(const Item& item, const std::string& cls, const std::string& text, int id, int x, int y, int cx,
                int cy, DWORD style)
{
    SCOPED_TRACE(text + " / " + std::to_string(id));
    // The class is stored as its predefined atom or as its name.
    const char* name = cls == kButton ? "Button" : cls == kEdit ? "Edit" : "Static";
    EXPECT_TRUE(item.cls == cls || lstrcmpiA(item.cls.c_str(), name) == 0) << item.cls;
    EXPECT_EQ(item.text, text);
    EXPECT_EQ(item.id, id);
    EXPECT_EQ(item.x, x);
    EXPECT_EQ(item.y, y);
    EXPECT_EQ(item.cx, cx);
    EXPECT_EQ(item.cy, cy);
    EXPECT_EQ(item.style, style) << std::hex << item.style << " vs " << style;
    EXPECT_EQ(item.exStyle, 0u);
}

TEST(Resources, ControlPanelTemplateIsExactlyAsDesigned)
{
    const Template t = LoadTemplate(IDD_CONTROL);
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.style, 0x90CA00C0u);
    EXPECT_EQ(t.exStyle, 0x00040000u);
    EXPECT_EQ(t.caption, "Kelvane");
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 209);
    EXPECT_EQ(t.cy, 132);
    EXPECT_EQ(t.face, "MS Sans Serif");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.weight, 0);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, 1);
    ASSERT_EQ(t.items.size(), 16u);

    const DWORD label = kChild | SS_LEFT | WS_GROUP;
    const DWORD edit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    const DWORD button = kChild | WS_TABSTOP;
    ExpectItem(t.items[0], kStatic, "Subtitle File:", -1, 10, 10, 120, 8, label);
    ExpectItem(t.items[1], kEdit, "", IDC_FILE, 10, 25, 130, 14, edit);
    ExpectItem(t.items[2], kButton, "Browse", IDC_BROWSE, 150, 25, 50, 14, button);
    ExpectItem(t.items[3], kStatic, "Delay in milliseconds:", -1, 10, 52, 70, 8, label);
    ExpectItem(t.items[4], kEdit, "", IDC_DELAY, 80, 50, 60, 14, edit | ES_NUMBER);
    ExpectItem(t.items[5], kButton, "Font", IDC_FONT, 150, 50, 50, 14, button);
    ExpectItem(t.items[6], kStatic, "From Hour:", -1, 10, 77, 34, 8, label);
    ExpectItem(t.items[7], kEdit, "", IDC_HOUR, 50, 75, 15, 14, edit | ES_NUMBER);
    ExpectItem(t.items[8], kStatic, "Min:", -1, 71, 77, 13, 8, label);
    ExpectItem(t.items[9], kEdit, "", IDC_MIN, 90, 75, 15, 14, edit | ES_NUMBER);
    ExpectItem(t.items[10], kStatic, "Sec:", -1, 111, 77, 15, 8, label);
    ExpectItem(t.items[11], kEdit, "", IDC_SEC, 130, 75, 15, 14, edit | ES_NUMBER);
    ExpectItem(t.items[12], kStatic, "Millis:", -1, 151, 77, 18, 8, label);
    ExpectItem(t.items[13], kEdit, "", IDC_MILLIS, 170, 75, 30, 14, edit | ES_NUMBER);
    ExpectItem(t.items[14], kButton, "Start", IDOK, 15, 105, 50, 14, button | BS_DEFPUSHBUTTON);
    ExpectItem(t.items[15], kButton, "Exit", IDCANCEL, 139, 105, 50, 14, button);
}

TEST(Resources, AboutBoxAndOverlayTemplates)
{
    const Template about = LoadTemplate(IDD_ABOUTBOX);
    EXPECT_FALSE(about.extended);
    EXPECT_EQ(about.style, 0x80C800C0u);
    EXPECT_EQ(about.caption, "About Kelvane");
    EXPECT_EQ(about.cx, 235);
    EXPECT_EQ(about.cy, 55);
    EXPECT_EQ(about.face, "MS Sans Serif");
    EXPECT_EQ(about.pointSize, 8);
    ASSERT_EQ(about.items.size(), 4u);
    ExpectItem(about.items[0], kButton, "OK", IDOK, 175, 5, 50, 14,
               kChild | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON);
    ExpectItem(about.items[1], kStatic, "#" + std::to_string(IDR_MAINFRAME), -1, 10, 17, 20, 20, kChild | SS_ICON);
    ExpectItem(about.items[2], kStatic, "Kelvane Version 1.0", -1, 39, 10, 119, 8, kChild | WS_GROUP | SS_NOPREFIX);
    EXPECT_EQ(about.items[3].style, kChild | WS_GROUP);
    EXPECT_FALSE(about.items[3].text.empty());
    EXPECT_EQ(about.items[3].x, 39);
    EXPECT_EQ(about.items[3].y, 25);

    const Template overlay = LoadTemplate(IDD_SUBTITLE);
    EXPECT_FALSE(overlay.extended);
    EXPECT_EQ(overlay.style, 0x90CC0042u);
    EXPECT_EQ(overlay.exStyle, 0u);
    EXPECT_EQ(overlay.caption, "Subtitle Window - Resize and doble left click to make transparent");
    EXPECT_EQ(overlay.x, 0);
    EXPECT_EQ(overlay.y, 0);
    EXPECT_EQ(overlay.cx, 328);
    EXPECT_EQ(overlay.cy, 95);
    EXPECT_EQ(overlay.face, "MS Sans Serif");
    EXPECT_EQ(overlay.pointSize, 8);
    EXPECT_TRUE(overlay.items.empty());
}

TEST(Resources, StringsIconsAndVersion)
{
    HMODULE hModule = GetModuleHandleA(nullptr);
    char text[512] = {};
    ASSERT_GT(LoadStringA(hModule, IDS_ABOUTBOX, text, sizeof text), 0);
    EXPECT_STREQ(text, "&About Kelvane...");
    ASSERT_GT(LoadStringA(hModule, IDS_BANNER, text, sizeof text), 0);
    const std::string banner = text;
    EXPECT_EQ(banner.substr(0, banner.find('\n')), "Kelvane Ver. 1.0");
    EXPECT_NE(banner.find('\n'), std::string::npos) << "several lines";

    // The icon group holds a 32 x 32 and a 16 x 16 image, 16 colours each.
    HRSRC hGroup = FindResourceA(hModule, MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14));
    ASSERT_NE(hGroup, nullptr);
    const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(hModule, hGroup)));
    WORD count;
    memcpy(&count, dir + 4, 2);
    ASSERT_EQ(count, 2);
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = dir + 6 + 14 * i;
        WORD bits;
        memcpy(&bits, entry + 6, 2);
        EXPECT_EQ(entry[2], 16) << "colours";
        EXPECT_EQ(bits, 4);
        sizes.push_back(entry[0]);
    }
    EXPECT_EQ(sizes, (std::vector<int>{32, 16}));
    EXPECT_NE(LoadIconA(hModule, MAKEINTRESOURCEA(IDR_MAINFRAME)), nullptr);

    HRSRC hVersion = FindResourceA(hModule, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    ASSERT_NE(hVersion, nullptr);
    const BYTE* version = static_cast<const BYTE*>(LockResource(LoadResource(hModule, hVersion)));
    // VS_FIXEDFILEINFO follows the "VS_VERSION_INFO" key, DWORD-aligned at offset 40.
    VS_FIXEDFILEINFO info;
    memcpy(&info, version + 40, sizeof info);
    ASSERT_EQ(info.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(info.dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(info.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(info.dwProductVersionLS, 0x00000001u);
}

}  // namespace

// WebVTT and ASS/SSA files and a file in another code page, played as a user plays them and compared pixel for
// pixel with SubRip twins: markup is drawn as styles or taken away, never shown as text; overlapping cues show
// together, in the file's order; a Cyrillic file in code page 1251 with Encoding=1251 draws as its UTF-8 twin.
#include "Harness.h"

#include <utility>

namespace e2e {
namespace {

const std::string kVtt = "WEBVTT\n\n00:00.100 --> 01:00.000\n<i>Mm</i> &amp; <c.loud>Ww</c>\n\n"
                         "00:00.600 --> 01:00.000 line:0\n<v Ann><u>Hi</u> &lt;3\n";
const std::string kAss = "[Script Info]\n[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, "
                         "Effect, Text\nDialogue: 0,0:00:00.60,0:01:00.00,D,,0,0,0,,{\\an8}Two {\\u1}Ww{\\u0}\n"
                         "Dialogue: 0,0:00:00.10,0:01:00.00,D,,0,0,0,,{\\i1}One{\\i0}\\Nbreak\n";
const std::string kCyrillic = "\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0";  // "Привет мир" in code page 1251

class FormatsTest : public KelvaneTest {
protected:
    // Plays a file (written as bytes) from the panel; `seen` is called with the overlay, which is closed after.
    void Play(const std::string& name, const std::string& bytes, const std::function<void(HWND)>& seen) {
        folder.Write(std::wstring(name.begin(), name.end()), Bytes(bytes.begin(), bytes.end()));
        SetItemText(panel, IDC_FILE, folder.FilePath(std::wstring(name.begin(), name.end())));
        HWND overlay = StartOverlay();
        ASSERT_NE(overlay, nullptr) << name;
        seen(overlay);
        PostMessageW(overlay, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil("the overlay closed", [&] { return !IsWindow(overlay); }));
    }
    // The overlay's client area once it shows text and holds still.
    std::vector<uint32_t> Drawn(const std::string& name, const std::string& bytes) {
        std::vector<uint32_t> seen, now;
        Play(name, bytes, [&](HWND overlay) {
            EXPECT_TRUE(WaitUntil("text that holds still", [&] {
                Pump(250), now = ScreenPixels(ClientScreenRect(overlay));
                return std::exchange(seen, now) == now && std::count(now.begin(), now.end(), 0xFF0000u) > 0;
            })) << name;
        });
        return now;
    }
    // A file drawn as its twin (once every cue has begun), or never as it.
    void Compare(const std::string& name, const std::string& bytes, const std::vector<uint32_t>& twin, bool same) {
        if (same)
            Play(name, bytes, [&](HWND overlay) {
                EXPECT_TRUE(WaitUntil(name + " drawn as its twin", [&] { return ScreenPixels(ClientScreenRect(overlay)) == twin; }));
            });
        else
            EXPECT_TRUE(Drawn(name, bytes) != twin) << name << " drawn as its twin";
    }
};

TEST_F(FormatsTest, CueFilesAndCodePagesDrawAsTheirSubRipTwins) {
    PrepareOverlay("", RECT{300, 400, 900, 640});
    const std::string srt = "1\n00:00:00,100 --> 00:01:00,000\n";
    for (const bool tags : {true, false}) {
        SCOPED_TRACE(tags ? "styles on, Encoding=1251" : "styles off, Encoding absent");
        const std::string ini = tags ? "[Options]\nFormattingTags=1\nEncoding=1251\n" : "";
        folder.Write(L"Kelvane.ini", Bytes(ini.begin(), ini.end()));
        Launch();
        Compare("cues.vtt", kVtt, Drawn("vtt.srt", srt + (tags ? "<i>Mm</i> & Ww\n<u>Hi</u> <3" : "Mm & Ww\nHi <3")), true);
        Compare("cues.ass", kAss, Drawn("ass.srt", srt + (tags ? "Two <u>Ww</u>\n<i>One</i>\nbreak" : "Two Ww\nOne\nbreak")), true);
        const std::vector<uint32_t> utf8 = Drawn("utf8.srt", "\xEF\xBB\xBF" + srt + "Привет мир");
        Compare("cp1251.srt", srt + kCyrillic, utf8, tags);  // without Encoding its bytes read in the ANSI code page
        ExitAndWait();
    }
}

}  // namespace
}  // namespace e2e

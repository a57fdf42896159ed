// Playback on a steady clock that the test moves: the changes, the live commands, the rates and the delay.
#include "core/PlaybackController.h"
#include "core/RatePresets.h"

#include <cmath>

#include "tests/core/test_util.h"

constexpr double kT0 = 1000000000123.0;  // the steady clock when Start is pressed

// A command at a time (ms after T0): p pause/resume, n nudge by arg, > next cue, < previous cue, r rate arg.
struct Step { double at; char op; double arg; };

struct Player {
    Player(const std::string& content, double offset = 0, int32_t delay = 0, double rate = 1)
        : file(content), started(controller.Start(file.Path(), offset, delay, rate, kT0)) {}
    // Ticks every 100 ms up to T0 + until, and at once after each step; lists the changes as "ms:text" (ms after
    // T0), "!" when playback ended with the change, "ms:-" for a command with nothing to go to.
    std::string Run(double until, std::vector<Step> steps = {}) {
        std::string changes;
        size_t i = 0;
        for (double next = now + 100; next <= kT0 + until; next = now + 100) {
            const bool command = i < steps.size() && kT0 + steps[i].at < next;
            now = command ? kT0 + steps[i].at : next;
            const std::string at = std::to_string(static_cast<long long>(now - kT0)) + ":";
            if (command && !Apply(steps[i++]))
                changes += at + "- ";
            std::string text = "unchanged";  // a tick that is not due leaves the text alone
            if (const auto r = controller.Tick(text); r != CPlaybackController::NotDue)
                changes += at + text + (r == CPlaybackController::ChangedAndFinished ? "! " : " ");
        }
        return changes;
    }
    bool Apply(const Step& s) {
        switch (s.op) {
        case 'p': return controller.TogglePause(), true;
        case 'n': return controller.Nudge(static_cast<int32_t>(s.arg)), true;
        case '>': return controller.NextCue();
        case '<': return controller.PreviousCue();
        default: return controller.SetRate(s.arg), true;
        }
    }

    TempFile file;  // declared first to outlive the open reader: Windows cannot remove an open file
    double now = kT0;
    CPlaybackController controller{[this] { return now; }};
    bool started;
};

TEST(Playback, Changes) {
    auto zhe = [](int n) { std::string s; while (n--) s += "\xD0\x96"; return s; };  // n x U+0416, two bytes each
    const std::string first = "1\n00:00:01,000 --> 00:00:02,000\nFirst\n\n2\n00:00:03,000 --> 00:00:04,000\n";
    const struct { std::string content; int32_t delay; std::string changes; double offset = 0; } cases[] = {
        {kThreeCues, 500, "3500:Two\nlines 5500: 6800:Three 7500:! ", 2000},  // the first change 3.5 s after Start
        // Overdue changes are worked off in one tick; a cue that has ended is skipped.
        {"1\n00:00:00,000 --> 00:00:00,500\nA\n\n2\n00:00:00,600 --> 00:00:01,000\nB\n\n", 0, "100:A 500: 600:B 1000:! "},
        {kThreeCues, -6000, "100:Two\nlines 1000: 2300:Three 3000:! "},
        // Overlapping cues stay in file order; a cue that ends before it starts is never shown.
        {"1\n00:00:01,000 --> 00:00:05,000\nLong\n\n2\n00:00:02,000 --> 00:00:03,000\nInside\n\n"
         "3\n00:00:06,000 --> 00:00:05,500\nBackwards\n\n4\n00:00:07,000 --> 00:00:07,030\nShort\n\n",
         0, "1000:Long 5000: 7000:Short 7100:! "},
        {first + "Last line", 0, "1000:First 2000: 3000:Last line 4000:! "},  // the file ends in the last text
        {"Just some text\nno cues\n", 0, "100:! "},  // nothing that could ever show: it ends at once
        // A text cut at 498 bytes inside a character: the half character goes, the rest stays UTF-8.
        {first + "a" + zhe(260), 0, "1000:First 2000: 3000:a" + zhe(248) + " 4000:! "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Player(c.content, c.offset, c.delay).Run(20000), c.changes) << "row " << &c - cases;
    Player text("Just some text\n"), cues(kThreeCues);
    text.Run(1000), cues.Run(20000);
    EXPECT_TRUE(text.controller.ShowedNothing() && !cues.controller.ShowedNothing());
}

TEST(Playback, LiveCommands) {
    const struct { std::vector<Step> steps; std::string changes; } cases[] = {
        // Paused for 2 s (a nudge meanwhile): the text stays, then everything comes 2 s later, less the nudge.
        {{{2000, 'p', 0}, {3600, 'n', -100}, {4000, 'p', 0}}, "1000:One 5400: 6900:Two\nlines 8900: 10200:Three 10900:! "},
        // A nudge later brings back a cue that is due again; earlier makes one due at once.
        {{{4000, 'n', 1000}, {4200, 'n', -2000}}, "1000:One 3500: 4000:One 4200:Two\nlines 6000: 7300:Three 8000:! "},
        // Next shows the next cue now; at the end of the file there is none.
        {{{2000, '>', 0}, {2500, '>', 0}, {3100, '>', 0}, {3200, '>', 0}},
         "1000:One 2000:Two\nlines 2500:Three 3100:- 3200:- 3300:! "},
        // Previous goes to the start of the cue before the one shown or last shown.
        {{{500, '<', 0}, {6000, '<', 0}, {7500, '<', 0}},
         "500:- 1000:One 3500: 5000:Two\nlines 6000:One 7500:- 8500: 10000:Two\nlines 12000: 13300:Three 14000:! "},
        // At twice the speed from 1 s on: the subtitles jump to where film time 1 s x 2 belongs; back to rate 1
        // at film 3 s (subtitle time 6 s): One again, read from the top of the file.
        {{{1000, 'r', 2}}, "1000:One 1800: 2500:Two\nlines 3500: 4200:Three 4500:! "},
        {{{1000, 'r', 2}, {3000, 'r', 1}}, "1000:One 1800: 2500:Two\nlines 3000:One 3500: 5000:Two\nlines 7000: "
                                           "8300:Three 9000:! "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Player(kThreeCues).Run(20000, c.steps), c.changes) << "row " << &c - cases;
}

// Where the subtitles stand (subtitle time) and what the Delay field shows after each command, from a Start at a
// point of the film with a delay and a rate.
TEST(Playback, SubtitleTimeAndDelayAfterCommands) {
    const std::string cues = "7\n01:00:00,500 --> 01:00:01,000\nAt the start\n\n8\n01:00:10,000 --> 01:00:11,000\n"
                             "Ten seconds on\n\n9\n01:02:36,000 --> 01:02:40,000\nTwo minutes on\n\n";
    std::vector<Step> limit;  // five steps earlier stop at the 32-bit limit, five later come back by exactly that
    for (int i = 1; i <= 10; ++i) limit.push_back({100.0 * i, 'n', i <= 5 ? -100.0 : 100.0});
    const struct { double offset; int32_t delay; double rate; std::vector<Step> steps; double time; int32_t field; }
        cases[] = {
            // Next cue at 1:00:01 (subtitle 1:00:01): the delay brings 1:00:10 here and stays.
            {3600000, 0, 1, {{1000, '>', 0}}, 3611000, -9000},
            {3600000, 0, 1, {{1000, '>', 0}, {1500, '<', 0}}, 3601000, 1000},
            {3600000, 0, 25.0 / 24, {{1000, 'n', 1000}}, 3602000 * 25.0 / 24 - 1000, 1000},  // the nudge itself
            // A cue step under a rate: whole ms, the cue due. At film 1 s (subtitle 1041.67 ms) the delay becomes
            // floor(1041.67 - 3600500) = -3599459.
            {0, 0, 25.0 / 24, {{1000, '>', 0}}, 2000 * 25.0 / 24 + 3599459, -3599459},
            {0, INT32_MIN + 300, 1, limit, 2000 - (INT32_MIN + 500.0), INT32_MIN + 500},
        };
    for (const auto& c : cases) {
        Player p(cues, c.offset, c.delay, c.rate);
        ASSERT_TRUE(p.started);
        p.Run(2000, c.steps);
        EXPECT_TRUE(std::abs(p.controller.SubtitleTime() - c.time) < 1e-6 && p.controller.Delay() == c.field)
            << "row " << &c - cases << ": " << p.controller.SubtitleTime() << ", " << p.controller.Delay();
    }
}

// Each preset against the film speeds it names: at film position F a frame F x (film fps) is on screen, which
// the subtitles place at frame / (their fps). The delay stays.
TEST(Playback, RatePresetsFollowTheFrameRatesTheyName) {
    const struct { const char* label; double subtitleFps, filmFps; } named[] = {
        {"Rate 1.0 (as timed)", 1, 1}, {"Rate 23.976 \xE2\x86\x92 25", 24000.0 / 1001, 25},
        {"Rate 25 \xE2\x86\x92 23.976", 25, 24000.0 / 1001}, {"Rate 24 \xE2\x86\x92 25", 24, 25},
        {"Rate 25 \xE2\x86\x92 24", 25, 24}};
    ASSERT_EQ(RatePresets().size(), std::size(named));
    for (size_t i = 0; i < std::size(named); ++i) {
        Player p(kThreeCues, 0, 250);
        p.now = kT0 + 1000, p.controller.SetRate(RatePresets()[i].factor), p.now = kT0 + 60000;  // film at 1 min
        EXPECT_EQ(RatePresets()[i].label, std::string(named[i].label));
        EXPECT_NEAR(p.controller.SubtitleTime(), 60000.0 * named[i].filmFps / named[i].subtitleFps - 250, 1e-6) << i;
    }
}

// The film is anchored at the press, not when the file has been opened and skipped (700 ms here): a cue due 500
// ms after the press is due at once, and the next due time counts from the press.
TEST(Playback, NextDueCountsFromThePress) {
    TempFile file("1\n00:59:59,000 --> 01:00:00,600\nSkipped\n\n2\n01:00:00,500 --> 01:00:01,000\nDue\n\n");
    double now = kT0 + 700;
    CPlaybackController c([&] { return now; });
    std::string text;
    ASSERT_TRUE(c.Start(file.Path(), 3600000, 0, 1, kT0));
    EXPECT_EQ(c.NextDue(), kT0 + 500) << "due in the past: the caller ticks at once";
    EXPECT_TRUE(c.Tick(text) == CPlaybackController::Changed && text == "Due") << text;
    EXPECT_EQ(c.NextDue(), kT0 + 1000) << "the clear, 1 s after the press";
    c.TogglePause();
    EXPECT_GE(c.NextDue(), CPlaybackSchedule::kNever) << "paused: no change can come";
    c.TogglePause(), now = kT0 + 100000, c.Tick(text), c.SetRate(2);
    EXPECT_GE(c.NextDue(), CPlaybackSchedule::kNever) << "past the end, also at rate 2";
}

TEST(Playback, NothingToPlayChangesNothing) {
    Player late(kThreeCues, 8251), missing("");  // the start offset past the last cue's start; no file
    missing.started = missing.controller.Start(missing.file.Path() + ".missing", 0, 0, 1, kT0);
    for (Player* p : {&late, &missing})
        EXPECT_FALSE(p->started || p->Run(100000, {{500, 'p', 0}, {600, '>', 0}, {700, '<', 0}}) != "600:- 700:- ");
}

// WebVTT and ASS/SSA: every cue active at once is shown, joined in the file's order, and the text changes at each
// start and end. Cue steps go through the starts (equal starts are one); going back reads the file again.
TEST(Playback, OverlappingCues) {
    const std::string vtt = "WEBVTT\n\n00:01.000 --> 00:04.000\nSign: <i>EXIT</i>\n\n00:02.000 --> 00:03.000\n<v Tom>Hello\n\n"
                            "00:02.000 --> 00:05.000\n- Bye\n\n00:05.010 --> 00:05.040\nShort\n\n00:06.000 --> 00:07.000\nLast\n";
    const std::string ass = "[Script Info]\n[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, "
                            "Effect, Text\nDialogue: 0,0:00:02.00,0:00:04.00,D,,0,0,0,,Line {\\b1}two{\\b0}\n"
                            "Dialogue: 1,0:00:01.00,0:00:05.00,Sign,,0,0,0,,{\\an8}Top sign\n";
    const std::string sign = "Sign: <i>EXIT</i>", all = sign + "\nHello\n- Bye";
    const struct { std::string content; std::vector<Step> steps; std::string changes; double offset = 0; } cases[] = {
        // A cue that has ended when its turn comes (Short, between two ticks) is never shown.
        {vtt, {}, "1000:" + sign + " 2000:" + all + " 3000:" + sign + "\n- Bye 4000:- Bye 5000: 6000:Last 7000:! "},
        {ass, {}, "1000:Top sign 2000:Line <b>two</b>\nTop sign 4000:Top sign 5000:! "},
        {vtt, {}, "500:Hello\n- Bye 1500:- Bye 3500: 4500:Last 5500:! ", 1500},  // the sign begun before the start skipped
        // Later by 1 s: before the sign. Next: the sign, then 2 s (both cues starting there), then Short (5.01 s).
        {vtt, {{1500, 'n', 1000}, {1700, '>', 0}, {1800, '>', 0}, {1900, '>', 0}},
         "1000:" + sign + " 1500: 1700:" + sign + " 1800:" + all + " 1900:Short 2000: 2900:Last 3900:! "},
        // Previous at 5.5 s (Short passed): the start before that of the latest cue shown (Bye, 2 s, as Hello), then none.
        {vtt, {{5500, '<', 0}, {5600, '<', 0}}, "1000:" + sign + " 2000:" + all + " 3000:" + sign + "\n- Bye 4000:- Bye 5000: 5500:" +
         sign + " 5600:- 6500:" + all + " 7500:" + sign + "\n- Bye 8500:- Bye 9500: 10500:Last 11500:! "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Player(c.content, c.offset).Run(20000, c.steps), c.changes) << "row " << &c - cases;
    Player shown(vtt);  // at 3 s the latest cue shown is Bye, third in the file; the next change is the sign's end
    EXPECT_TRUE(shown.Run(3000) != "" && shown.controller.ShownIndex() == 3 && shown.controller.NextDue() == kT0 + 4000);

    // 100,000 cues of 40 bytes from 1 s: 1,000 are held, of which the 399 first fit the 16 KiB joined; the 999 first
    // end at 2 s, and the 1,000th stays alone.
    std::string script = "[Script Info]\n[Events]\n", cue(40, '.'), joined;
    for (int i = 1; i <= 100000; ++i) {
        const std::string text = cue.replace(0, 6, std::to_string(1000000 + i).substr(1));
        script += "Dialogue: 0,0:00:01.00," + std::string(i < 1000 ? "0:00:02.00" : "1:00:00.00") + ",D,,0,0,0,," + text + "\n";
        joined += i <= 399 ? (i > 1 ? "\n" : "") + text : "";
    }
    EXPECT_EQ(Player(script).Run(3600000), "1000:" + joined + " 2000:001000" + std::string(34, '.') + " 3600000:! ");
}

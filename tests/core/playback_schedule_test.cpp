// The playback schedule and its live controls, driven by a fake clock.
#include "core/PlaybackSchedule.h"

#include "tests/core/test_util.h"

constexpr double kT0 = 1000000000123.0;  // the clock when playback starts

// A control at a time (ms after T0), then a tick at once. op: p pause/resume, n nudge by arg,
// > next cue, < previous cue, r rate arg, c clock moved by arg.
struct Step { double at; char op; double arg; };

// A schedule on a subtitle file, with a clock that the test moves.
struct Player {
    Player(const std::string& content, double offset = 0, int32_t delay = 0)
        : file(content), started(schedule.Start(file.Path(), offset, delay)) {}
    // Ticks every 100 ms up to T0 + until, applying the steps, and lists the changes as "ms:text" (ms
    // after T0), "!" when playback ended with the change, "ms:-" for a control with nothing to go to.
    std::string Run(double until, std::vector<Step> steps = {}) {
        std::string changes;
        size_t i = 0;
        for (double next = now + 100; next <= kT0 + until; next = now + 100) {
            const bool control = i < steps.size() && kT0 + steps[i].at < next;
            now = control ? kT0 + steps[i].at : next;
            const std::string at = std::to_string(static_cast<long long>(now - kT0)) + ":";
            if (control && !Apply(steps[i++]))
                changes += at + "- ";
            std::string text = "unchanged";  // a tick that is not due leaves the text alone
            const CPlaybackSchedule::TickResult r = schedule.Tick(text);
            if (r != CPlaybackSchedule::NotDue || text != "unchanged")
                changes += at + text + (r == CPlaybackSchedule::ChangedAndFinished ? "! " : " ");
        }
        return changes;
    }
    bool Apply(const Step& s) {
        switch (s.op) {
        case 'p': return schedule.TogglePause(), true;
        case 'n': return schedule.Nudge(s.arg), true;
        case '>': return schedule.NextCue();
        case '<': return schedule.PreviousCue();
        case 'r': return schedule.SetRate(s.arg), true;
        default: return now += s.arg, true;
        }
    }

    TempFile file;  // declared first to outlive the open reader: Windows cannot remove an open file
    double now = kT0;
    CPlaybackSchedule schedule{[this] { return now; }};
    bool started;
};

TEST(PlaybackSchedule, Changes) {
    const std::string first = "1\n00:00:01,000 --> 00:00:02,000\nFirst\n\n";
    const std::string last = "2\n00:00:03,000 --> 00:00:04,000\nLast line";
    const std::string lastPlayed = "1000:First 2000: 3000:Last line 4000:! ";
    const struct { std::string content; int32_t delay; std::string changes; double offset = 0; } cases[] = {
        // From 2 s into the file with a delay of 500 ms: the first change 3.5 s after the start.
        {kThreeCues, 500, "3500:Two\nlines 5500: 6800:Three 7500:! ", 2000},
        // Overdue changes are worked off in one tick; a cue that has ended is skipped.
        {"1\n00:00:00,000 --> 00:00:00,500\nA\n\n2\n00:00:00,600 --> 00:00:01,000\nB\n\n", 0,
         "100:A 500: 600:B 1000:! "},
        {kThreeCues, -6000, "100:Two\nlines 1000: 2300:Three 3000:! "},
        // Overlapping cues stay in file order; a cue that ends before it starts is never shown.
        {"1\n00:00:01,000 --> 00:00:05,000\nLong\n\n2\n00:00:02,000 --> 00:00:03,000\nInside\n\n"
         "3\n00:00:06,000 --> 00:00:05,500\nBackwards\n\n4\n00:00:07,000 --> 00:00:07,030\nShort\n\n",
         0, "1000:Long 5000: 7000:Short 7100:! "},
        // The last cue stays until its end, whether an empty line follows or not.
        {first + last + "\n\n", 0, lastPlayed},
        {first + last + "\r\n", 0, lastPlayed},
        {first + last, 0, lastPlayed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Player(c.content, c.offset, c.delay).Run(20000), c.changes) << "row " << &c - cases;
    Player p(kThreeCues);
    EXPECT_EQ((p.Run(20000), p.schedule.m_dNext - p.schedule.m_dBase), 8250) << "the header read at the end";
}

TEST(PlaybackSchedule, LiveControls) {
    const struct { std::vector<Step> steps; std::string changes; } cases[] = {
        // Paused for 2 s: the text stays, then everything comes 2 s later.
        {{{2000, 'p', 0}, {3600, 'n', -100}, {4000, 'p', 0}},
         "1000:One 3600:One 5400: 6900:Two\nlines 8900: 10200:Three 10900:! "},
        // A nudge later brings back a cue that is due again; earlier makes one due at once.
        {{{4000, 'n', 1000}, {4200, 'n', -2000}},
         "1000:One 3500: 4000:One 4200:Two\nlines 6000: 7300:Three 8000:! "},
        // Next shows the next cue now; at the end of the file there is none.
        {{{2000, '>', 0}, {2500, '>', 0}, {3100, '>', 0}, {3200, '>', 0}},
         "1000:One 2000:Two\nlines 2500:Three 3100:- 3200:- 3300:! "},
        // Previous goes to the start of the cue before the one shown or last shown.
        {{{500, '<', 0}, {6000, '<', 0}, {7500, '<', 0}},
         "500:- 1000:One 3500: 5000:Two\nlines 6000:One 7500:- 8500: 10000:Two\nlines 12000: 13300:Three 14000:! "},
        // At twice the speed from 1 s on.
        {{{1000, 'r', 2}}, "1000:One 2300: 3000:Two\nlines 4000: 4700:Three 5000:! "},
        // The clock set back delays what remains; set forward, what has passed is skipped.
        {{{1000, 'c', -60000}, {3600, 'c', 3600000}}, "1000:One 3500: 3600:! "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Player(kThreeCues).Run(20000, c.steps), c.changes) << "row " << &c - cases;
}

TEST(PlaybackSchedule, NothingToPlayChangesNothing) {
    Player late(kThreeCues, 8251), missing("");  // the start offset past the last cue's start; no file
    missing.started = missing.schedule.Start(missing.file.Path() + ".missing", 0, 0);
    for (Player* p : {&late, &missing})
        EXPECT_FALSE(p->started || p->Run(100000, {{500, 'p', 0}, {600, '>', 0}, {700, '<', 0}}) != "600:- 700:- ");
}

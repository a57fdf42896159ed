// The playback schedule's stepping, driven by a fake clock.
#include "playback/PlaybackSchedule.h"

#include "tests/core/test_util.h"

constexpr double kT0 = 1000000000123.0;  // the clock when playback starts

// A schedule on a subtitle file, with a clock that the test moves.
struct Player {
    Player(const std::string& content, double offset, int32_t delay)
        : file(content), started(schedule.Start(file.Path(), offset, delay)) {}
    // Ticks every 100 ms up to T0 + until and lists the changes as "ms:text"
    // (ms after T0), with "!" when playback ended with the change.
    std::string TickUntil(double until)
    {
        std::string changes;
        while (now + 100 <= kT0 + until) {
            now += 100;
            std::string text = "unchanged";
            const CPlaybackSchedule::TickResult r = schedule.Tick(text);
            if (r == CPlaybackSchedule::NotDue)
                EXPECT_EQ(text, "unchanged") << "a tick that is not due leaves the text alone";
            else
                changes += std::to_string(static_cast<long long>(now - kT0)) + ":" + text +
                           (r == CPlaybackSchedule::ChangedAndFinished ? "! " : " ");
        }
        return changes;
    }

    TempFile file;  // declared first to outlive the open reader: Windows cannot remove an open file
    double now = kT0;
    CPlaybackSchedule schedule{[this] { return now; }};
    bool started;
};

TEST(PlaybackSchedule, WorkedExampleTickByTick)
{
    Player p(kThreeCues, 2000, 500);
    ASSERT_TRUE(p.started);
    EXPECT_EQ(p.schedule.m_dBase, kT0 + 500 - 2000);
    EXPECT_EQ(p.schedule.m_dNext, kT0 + 3500);
    EXPECT_EQ(p.schedule.m_bShowing, 0);
    EXPECT_EQ(p.TickUntil(60000), "3500:Two\nlines 5500: 6800:Three 7500:! ");
    EXPECT_EQ(p.schedule.m_dNext, p.schedule.m_dBase + 8250) << "the header read at the end changes no time";
}

TEST(PlaybackSchedule, Changes)
{
    const std::string first = "1\n00:00:01,000 --> 00:00:02,000\nFirst\n\n";
    const std::string last = "2\n00:00:03,000 --> 00:00:04,000\nLast line";
    const std::string lastPlayed = "1000:First 2000: 3000:Last line 4000:! ";
    const struct { std::string content; int32_t delay; std::string changes; } cases[] = {
        // Overdue changes are worked off one per tick.
        {"1\n00:00:00,000 --> 00:00:00,500\nA\n\n2\n00:00:00,600 --> 00:00:01,000\nB\n\n", 0,
         "100:A 500: 600:B 1000:! "},
        {kThreeCues, -6000, "100:One 200: 300:Two\nlines 1000: 2300:Three 3000:! "},
        // Overlapping cues and an end before the start stay in file order.
        {"1\n00:00:01,000 --> 00:00:05,000\nLong\n\n2\n00:00:02,000 --> 00:00:03,000\nInside\n\n"
         "3\n00:00:06,000 --> 00:00:05,500\nBackwards\n\n4\n00:00:07,000 --> 00:00:07,030\nShort\n\n",
         0, "1000:Long 5000: 5100:Inside 5200: 6000:Backwards 6100: 7000:Short 7100:! "},
        // The last cue stays until its end, whether an empty line follows or not.
        {first + last + "\n\n", 0, lastPlayed},
        {first + last + "\r\n", 0, lastPlayed},
        {first + last, 0, lastPlayed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Player(c.content, 0, c.delay).TickUntil(20000), c.changes) << "row " << &c - cases;
}

TEST(PlaybackSchedule, ClockSetBackWaitsAndSetForwardHurries)
{
    Player p(kThreeCues, 0, 0);
    EXPECT_EQ(p.TickUntil(1000), "1000:One ");
    p.now -= 60000;
    EXPECT_EQ(p.TickUntil(3500), "3500: ");
    p.now += 3600000;
    EXPECT_EQ(p.TickUntil(3604000), "3603600:Two\nlines 3603700: 3603800:Three 3603900:! ");
}

TEST(PlaybackSchedule, NothingToPlayChangesNothing)
{
    Player late(kThreeCues, 8251, 0);  // the start offset is past the last cue's start
    Player missing("", 0, 0);
    missing.started = missing.schedule.Start(missing.file.Path() + ".missing", 0, 0);
    for (Player* p : {&late, &missing}) {
        EXPECT_FALSE(p->started);
        EXPECT_EQ(p->TickUntil(100000), "");
    }
}

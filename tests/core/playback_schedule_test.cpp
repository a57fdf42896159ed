#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "playback/PlaybackSchedule.h"

namespace {

constexpr double kT0 = 1000000000123.0;  // the clock when playback starts

struct Change {
    double at;
    CPlaybackSchedule::TickResult result;
    std::string text;
    bool operator==(const Change& o) const { return at == o.at && result == o.result && text == o.text; }
};

std::ostream& operator<<(std::ostream& os, const Change& c)
{
    return os << "{T0+" << (c.at - kT0) << ", " << c.result << ", \"" << c.text << "\"}";
}

constexpr auto kShown = CPlaybackSchedule::Changed;
constexpr auto kLast = CPlaybackSchedule::ChangedAndFinished;

// Temporary subtitle files, removed when the test ends. Declared before the
// schedules so that they outlive them: Windows cannot remove an open file.
struct TempFiles : std::vector<std::filesystem::path> {
    ~TempFiles()
    {
        for (const auto& path : *this) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }
};

class PlaybackScheduleTest : public ::testing::Test {
protected:
    std::string WriteSrt(const std::string& content)
    {
        auto path = std::filesystem::temp_directory_path() /
                    ("kelvane_schedule_" + std::to_string(m_files.size()) + "_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".srt");
        std::FILE* f = std::fopen(path.string().c_str(), "wb");
        EXPECT_NE(f, nullptr);
        if (f) {
            std::fwrite(content.data(), 1, content.size(), f);
            std::fclose(f);
        }
        m_files.push_back(path);
        return path.string();
    }

    // Starts playback of content with the clock at T0.
    bool Start(const std::string& content, double startOffset, int32_t delay)
    {
        return Start(m_schedule, content, startOffset, delay);
    }
    bool Start(CPlaybackSchedule& schedule, const std::string& content, double startOffset, int32_t delay)
    {
        m_now = kT0;
        return schedule.Start(WriteSrt(content), startOffset, delay);
    }

    // Ticks every 100 ms from the current clock (exclusive) up to T0 + until,
    // and returns the changes.
    std::vector<Change> TickUntil(double until) { return TickUntil(m_schedule, until); }
    std::vector<Change> TickUntil(CPlaybackSchedule& schedule, double until)
    {
        std::vector<Change> changes;
        while (m_now + 100 <= kT0 + until) {
            m_now += 100;
            std::string text = "unchanged";
            CPlaybackSchedule::TickResult r = schedule.Tick(text);
            if (r == CPlaybackSchedule::NotDue)
                EXPECT_EQ(text, "unchanged") << "a tick that is not due leaves the text alone";
            else
                changes.push_back({m_now, r, text});
        }
        return changes;
    }

    TempFiles m_files;
    double m_now = 0;
    CPlaybackSchedule m_schedule{[this] { return m_now; }};
};

const char kThreeCues[] =
    "1\n00:00:01,000 --> 00:00:03,500\nCue one\n\n"
    "2\n00:00:05,000 --> 00:00:07,000\nLine A\nLine B\n\n"
    "3\n00:00:08,250 --> 00:00:09,000\nCue three\n\n";

}  // namespace

TEST(PlaybackTime, StartOffsetAndWallClock)
{
    EXPECT_EQ(StartOffsetMs(0, 0, 2, 0), 2000.0);
    EXPECT_EQ(StartOffsetMs(23, 59, 59, 999), 86399999.0);
    EXPECT_EQ(StartOffsetMs(0, 10, 0, 0), 600000.0);

    double before = static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::system_clock::now().time_since_epoch())
                                            .count());
    double now = WallClockNow();
    EXPECT_GE(now, before);
    EXPECT_LT(now - before, 60000.0);
    EXPECT_EQ(now, std::floor(now)) << "whole milliseconds";
}

TEST_F(PlaybackScheduleTest, WorkedExampleTickByTick)
{
    ASSERT_TRUE(Start(kThreeCues, 2000, 500));
    EXPECT_EQ(m_schedule.m_dBase, 999999998623.0);
    EXPECT_EQ(m_schedule.m_dNext, 1000000003623.0);
    EXPECT_EQ(m_schedule.m_bShowing, 0);

    EXPECT_TRUE(TickUntil(3400).empty());
    EXPECT_EQ(TickUntil(3500), (std::vector<Change>{{kT0 + 3500, kShown, "Line A\nLine B"}}));
    EXPECT_EQ(m_schedule.m_dNext, 1000000005623.0);
    EXPECT_EQ(m_schedule.m_bShowing, 1);

    EXPECT_EQ(TickUntil(5500), (std::vector<Change>{{kT0 + 5500, kShown, ""}}));
    EXPECT_EQ(m_schedule.m_dNext, 1000000006873.0);
    EXPECT_EQ(m_schedule.m_bShowing, 0);

    EXPECT_EQ(TickUntil(6800), (std::vector<Change>{{kT0 + 6800, kShown, "Cue three"}}));
    EXPECT_EQ(m_schedule.m_dNext, 1000000007623.0);

    EXPECT_EQ(TickUntil(7500), (std::vector<Change>{{kT0 + 7500, kLast, ""}}));
    EXPECT_EQ(m_schedule.m_dNext, m_schedule.m_dBase + 8250) << "the header read at the end changes no time";
    EXPECT_TRUE(m_schedule.m_bFinished);

    EXPECT_TRUE(TickUntil(60000).empty()) << "no change after the end";
}

TEST_F(PlaybackScheduleTest, OverdueChangesAreWorkedOffOnePerTick)
{
    // Delay 0, offset 0 and a first cue at 0: shown at the first tick.
    const char cues[] =
        "1\n00:00:00,000 --> 00:00:00,500\nA\n\n"
        "2\n00:00:00,600 --> 00:00:01,000\nB\n\n";
    ASSERT_TRUE(Start(cues, 0, 0));
    EXPECT_EQ(TickUntil(2000), (std::vector<Change>{{kT0 + 100, kShown, "A"},
                                                    {kT0 + 500, kShown, ""},
                                                    {kT0 + 600, kShown, "B"},
                                                    {kT0 + 1000, kLast, ""}}));
}

TEST_F(PlaybackScheduleTest, NegativeDelayLargerThanTheFirstCueCatchesUp)
{
    ASSERT_TRUE(Start(kThreeCues, 0, -6000));
    EXPECT_EQ(m_schedule.m_dBase, kT0 - 6000);
    // Cue one (1,000-3,500) and cue two's start (5,000) are overdue; cue two
    // ends at T0 + 1,000 and cue three follows on time.
    EXPECT_EQ(TickUntil(5000), (std::vector<Change>{{kT0 + 100, kShown, "Cue one"},
                                                    {kT0 + 200, kShown, ""},
                                                    {kT0 + 300, kShown, "Line A\nLine B"},
                                                    {kT0 + 1000, kShown, ""},
                                                    {kT0 + 2300, kShown, "Cue three"},
                                                    {kT0 + 3000, kLast, ""}}));
}

TEST_F(PlaybackScheduleTest, PositiveDelayShowsEveryCueLater)
{
    ASSERT_TRUE(Start(kThreeCues, 0, 250));
    std::vector<Change> changes = TickUntil(10000);
    ASSERT_EQ(changes.size(), 6u);
    EXPECT_EQ(changes[0], (Change{kT0 + 1300, kShown, "Cue one"}));
    EXPECT_EQ(changes[1], (Change{kT0 + 3800, kShown, ""}));
    EXPECT_EQ(changes[5], (Change{kT0 + 9300, kLast, ""}));
}

TEST_F(PlaybackScheduleTest, OverlappingCuesAndEndBeforeStartStaySequential)
{
    const char cues[] =
        "1\n00:00:01,000 --> 00:00:05,000\nLong\n\n"
        "2\n00:00:02,000 --> 00:00:03,000\nInside\n\n"
        "3\n00:00:06,000 --> 00:00:05,500\nBackwards\n\n"
        "4\n00:00:07,000 --> 00:00:07,030\nShort\n\n";
    ASSERT_TRUE(Start(cues, 0, 0));
    EXPECT_EQ(TickUntil(9000), (std::vector<Change>{{kT0 + 1000, kShown, "Long"},
                                                    {kT0 + 5000, kShown, ""},
                                                    {kT0 + 5100, kShown, "Inside"},
                                                    {kT0 + 5200, kShown, ""},
                                                    {kT0 + 6000, kShown, "Backwards"},
                                                    {kT0 + 6100, kShown, ""},
                                                    {kT0 + 7000, kShown, "Short"},
                                                    {kT0 + 7100, kLast, ""}}));
}

TEST_F(PlaybackScheduleTest, CueRunningAcrossTheStartOffsetIsNeverShown)
{
    const char cues[] =
        "1\n00:00:01,000 --> 00:00:03,000\nAcross\n\n"
        "2\n00:00:04,000 --> 00:00:05,000\nAfter\n\n";
    ASSERT_TRUE(Start(cues, 1500, 0));
    EXPECT_EQ(m_schedule.m_dBase, kT0 - 1500);
    EXPECT_EQ(TickUntil(10000), (std::vector<Change>{{kT0 + 2500, kShown, "After"}, {kT0 + 3500, kLast, ""}}));
}

TEST_F(PlaybackScheduleTest, LastCueStaysUntilItsEndWithOrWithoutEmptyLine)
{
    const std::string first = "1\n00:00:01,000 --> 00:00:02,000\nFirst\n\n";
    const std::string last = "2\n00:00:03,000 --> 00:00:04,000\nLast line";
    for (const char* ending : {"\n\n", "\n", "\r\n", ""}) {
        SCOPED_TRACE(testing::PrintToString(std::string(ending)));
        CPlaybackSchedule schedule{[this] { return m_now; }};
        ASSERT_TRUE(Start(schedule, first + last + ending, 0, 0));
        EXPECT_EQ(TickUntil(schedule, 10000), (std::vector<Change>{{kT0 + 1000, kShown, "First"},
                                                         {kT0 + 2000, kShown, ""},
                                                         {kT0 + 3000, kShown, "Last line"},
                                                         {kT0 + 4000, kLast, ""}}));
    }
}

TEST_F(PlaybackScheduleTest, ClockSetBackDelaysAndSetForwardHurriesTheRest)
{
    ASSERT_TRUE(Start(kThreeCues, 0, 0));
    EXPECT_EQ(TickUntil(1000), (std::vector<Change>{{kT0 + 1000, kShown, "Cue one"}}));

    // Set back by a minute: nothing changes until the clock reaches the due time again.
    m_now -= 60000;
    EXPECT_TRUE(TickUntil(2400).empty());
    EXPECT_EQ(TickUntil(3500), (std::vector<Change>{{kT0 + 3500, kShown, ""}}));

    // Set forward by an hour: the remaining changes come one per tick.
    m_now += 3600000;
    EXPECT_EQ(TickUntil(3600000 + 3500 + 500),
              (std::vector<Change>{{kT0 + 3603600, kShown, "Line A\nLine B"},
                                   {kT0 + 3603700, kShown, ""},
                                   {kT0 + 3603800, kShown, "Cue three"},
                                   {kT0 + 3603900, kLast, ""}}));
}

TEST_F(PlaybackScheduleTest, NothingToPlayLeavesTheScheduleIdle)
{
    // A missing file.
    m_now = kT0;
    auto missing = std::filesystem::temp_directory_path() / "kelvane_schedule_no_such_file.srt";
    std::error_code ignored;
    std::filesystem::remove(missing, ignored);
    EXPECT_FALSE(m_schedule.Start(missing.string(), 0, 0));
    EXPECT_TRUE(TickUntil(5000).empty());

    // A start offset past the last cue's start.
    CPlaybackSchedule late{[this] { return m_now; }};
    EXPECT_FALSE(late.Start(WriteSrt(kThreeCues), 8251, 0));
    std::string text = "banner";
    m_now = kT0 + 100000;
    EXPECT_EQ(late.Tick(text), CPlaybackSchedule::NotDue);
    EXPECT_EQ(text, "banner");
}

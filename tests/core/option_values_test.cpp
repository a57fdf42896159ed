// The options' text forms in Kelvane.ini: round trip, bad and missing values.
#include <map>

#include "panel/OptionValues.h"

#include "tests/core/test_util.h"

using Ini = std::map<std::string, std::string>;

static COptionValues ReadFrom(const Ini& ini)
{
    COptionValues values;
    values.bOutline = true;  // whatever was held before does not matter
    values.Read([&](const char* key, std::string& value) {
        const auto found = ini.find(key);
        return found != ini.end() && (value = found->second, true);
    });
    return values;
}

TEST(OptionValues, ReadWriteAndDefaults)
{
    COptionValues set;
    set.bLiveSeeThrough = set.bOutline = set.bFormattingTags = true;
    set.nOutlineWidth = 6;
    set.crOutline = 0x00123456;  // blue 0x12, green 0x34, red 0x56
    Ini ini;
    EXPECT_TRUE(set.Write([&](const char* key, const std::string& value) { return ini[key] = value, true; }));
    EXPECT_EQ(ini, (Ini{{"FormattingTags", "1"}, {"LiveSeeThrough", "1"}, {"Outline", "1"},
                        {"OutlineColor", "#563412"}, {"OutlineWidth", "6"}}));
    EXPECT_TRUE(ReadFrom(ini) == set);
    EXPECT_TRUE(ReadFrom(Ini{}) == COptionValues()) << "no file";
    int writes = 0;
    EXPECT_FALSE(set.Write([&](const char*, const std::string&) { return ++writes != 2; }));
    EXPECT_EQ(writes, 5) << "a failed write does not stop the others";

    const Ini bad[] = {
        {{"LiveSeeThrough", "2"}, {"Outline", "yes"}, {"OutlineWidth", "7"}, {"OutlineColor", "#12345"}},
        {{"LiveSeeThrough", ""}, {"Outline", "-1"}, {"OutlineWidth", "0"}, {"OutlineColor", "123456"}},
        {{"FormattingTags", "1x"}, {"OutlineWidth", "2.5"}, {"OutlineColor", "#12345G"}},
    };
    for (const Ini& b : bad)
        EXPECT_TRUE(ReadFrom(b) == COptionValues()) << b.begin()->second;
    const COptionValues spaced = ReadFrom(Ini{{"Outline", " 1 "}, {"OutlineWidth", "1"}, {"OutlineColor", "#aBcDeF"}});
    EXPECT_TRUE(spaced.bOutline);
    EXPECT_EQ(spaced.nOutlineWidth, 1);
    EXPECT_EQ(spaced.crOutline, 0x00EFCDABu);
}

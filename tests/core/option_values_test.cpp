// The options' text forms in Kelvane.ini: round trip, bad and missing values.
#include <map>

#include "core/OptionValues.h"

#include "tests/core/test_util.h"

using Ini = std::map<std::string, std::string>;

static COptionValues ReadFrom(const Ini& ini)
{
    COptionValues values;
    values.Read([&](const char* key, std::string& value) { return ini.count(key) && (value = ini.at(key), true); });
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
    EXPECT_EQ(ini, (Ini{{"FormattingTags", "1"}, {"LiveSeeThrough", "1"}, {"Outline", "1"}, {"OutlineColor", "#563412"},
                        {"OutlineWidth", "6"}}));
    EXPECT_TRUE(ReadFrom(ini) == set);
    const Ini defaults[] = {
        {/* no file */}, {{"LiveSeeThrough", "2"}, {"Outline", "yes"}, {"OutlineWidth", "7"}, {"OutlineColor", "#12345"}},
        {{"LiveSeeThrough", ""}, {"Outline", "-1"}, {"OutlineWidth", "0"}, {"OutlineColor", "123456"}},
        {{"FormattingTags", "1x"}, {"OutlineWidth", "2.5"}, {"OutlineColor", "#12345G"}},
    };
    for (const Ini& d : defaults)
        EXPECT_TRUE(ReadFrom(d) == COptionValues()) << d.size();
    EXPECT_EQ(ReadFrom(Ini{{"OutlineColor", "#aBcDeF"}}).crOutline, 0x00EFCDABu);
}

// The options' text forms in Kelvane.ini: round trip, bad and missing values.
#include <fstream>
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

// The README's Kelvane.ini example, exactly as it stands there (blanks and "; comment" after each value): every
// line must be read, so each value is swapped for one that is not the default, keeping its spacing and comment.
TEST(OptionValues, ReadmeExampleIsRead)
{
    std::ifstream readme(KELVANE_SOURCE_DIR "/README.md");
    std::string line;
    while (std::getline(readme, line) && line != "```ini") {}
    Ini ini;
    const Ini swapped = {{"LiveSeeThrough", "1"}, {"Outline", "1"}, {"OutlineWidth", "5"},
                         {"OutlineColor", "#123456"}, {"FormattingTags", "1"}};
    while (std::getline(readme, line) && line != "```") {
        const size_t eq = line.find('='), value = line.find_first_not_of(" \t", eq + 1);
        if (eq == std::string::npos || !swapped.count(line.substr(0, eq)))
            continue;
        const size_t end = line.find_first_of(" \t", value);
        ASSERT_NE(end, std::string::npos) << "no comment after the value: " << line;
        ini[line.substr(0, eq)] = line.substr(eq + 1, value - eq - 1) + swapped.at(line.substr(0, eq)) + line.substr(end);
    }
    ASSERT_EQ(ini.size(), swapped.size()) << "the README's ini block lost a key";
    const COptionValues read = ReadFrom(ini);
    EXPECT_TRUE(read.bLiveSeeThrough && read.bOutline && read.bFormattingTags);
    EXPECT_EQ(read.nOutlineWidth, 5);
    EXPECT_EQ(read.crOutline, 0x00563412u);
    EXPECT_EQ(ProfileValue("  7;x ; y"), "7;x");
    EXPECT_EQ(ProfileValue("\t; only a comment"), "");
}

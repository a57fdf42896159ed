// Kelvane.ini's sections, [Options] and [Player], in their text forms: round trip, bad and missing values; the
// READMEs' ini block and keys.
#include <fstream>
#include <iterator>
#include <map>

#include "core/LiveCommands.h"
#include "core/OptionValues.h"
#include "core/PlayerConfig.h"

#include "tests/core/test_util.h"

using Ini = std::map<std::string, std::string>;

// A section read from the lines of Kelvane.ini (a missing key: none there), and written back.
template <typename T> static T Read(const Ini& ini) {
    T t;
    return t.Read([&](const char* key, std::string& value) { return ini.count(key) && (value = ini.at(key), true); }), t;
}
template <typename T> static Ini Written(const T& t) {
    Ini ini;
    EXPECT_TRUE(t.Write([&](const char* key, const std::string& value) { return ini[key] = value, true; }));
    return ini;
}

// Each row: lines of the file, then the options read (a missing key or a value that does not read: the default).
TEST(OptionValues, ValuesReadOrGiveTheirDefaults) {
    const struct { Ini ini; bool live, outline; int width; uint32_t colour; bool tags; unsigned codePage = 0; } cases[] = {
        {{/* no file */}, false, false, 2, 0, false},
        {{{"LiveSeeThrough", "1"}, {"Outline", " 1\t"}, {"FormattingTags", "1"}, {"OutlineWidth", "1"},
          {"OutlineColor", "#aBcDeF"}, {"Encoding", " 1251 "}}, true, true, 1, 0x00EFCDAB, true, 1251},
        {{{"OutlineWidth", "6"}, {"OutlineColor", " #563412 "}, {"Encoding", "65535"}}, false, false, 6, 0x00123456, false, 65535},
        {{{"LiveSeeThrough", "2"}, {"Outline", "yes"}, {"FormattingTags", "1x"}, {"OutlineWidth", "0"},
          {"OutlineColor", "123456"}, {"Encoding", "65536"}}, false, false, 2, 0, false},
        {{{"LiveSeeThrough", ""}, {"Outline", "-1"}, {"FormattingTags", "0"}, {"OutlineWidth", "7"},
          {"OutlineColor", "#12345"}, {"Encoding", "0"}}, false, false, 2, 0, false},
        {{{"OutlineWidth", "2.5"}, {"OutlineColor", "#12345G"}, {"Encoding", "AUTO"}}, false, false, 2, 0, false},
        {{{"OutlineWidth", "+3"}, {"OutlineColor", "red"}, {"Encoding", "cp1251"}}, false, false, 2, 0, false},
    };
    for (const auto& c : cases) {
        const COptionValues read = Read<COptionValues>(c.ini);
        EXPECT_TRUE(read.bLiveSeeThrough == c.live && read.bOutline == c.outline && read.nOutlineWidth == c.width &&
                    read.crOutline == c.colour && read.bFormattingTags == c.tags && read.nCodePage == c.codePage)
            << "row " << &c - cases;
    }
    EXPECT_EQ(Written(Read<COptionValues>(cases[1].ini)), (Ini{{"Encoding", "1251"}, {"FormattingTags", "1"},
              {"LiveSeeThrough", "1"}, {"Outline", "1"}, {"OutlineColor", "#ABCDEF"}, {"OutlineWidth", "1"}}))
        << "the second row written back";
}

TEST(PlayerConfig, ReadWriteAndDefaults) {
    CPlayerConfig set;
    set.eFollow = CPlayerConfig::Vlc, set.strMpvPipe = "\\\\.\\pipe\\mine", set.strHost = "media-pc.local";
    set.nMpcPort = 1, set.nVlcPort = 65535, set.strVlcPassword = "p;w";
    EXPECT_TRUE(Read<CPlayerConfig>(Written(set)) == set);
    EXPECT_EQ(set.PipePath() + " " + set.Address(), "\\\\.\\pipe\\mine media-pc.local:65535");
    const Ini defaults[] = {
        {}, {{"Follow", "wmp"}, {"MpvPipe", ""}, {"Host", ""}, {"MpcPort", "0"}, {"VlcPort", "65536"}},
        {{"Follow", "1"}, {"MpvPipe", "a\\b"}, {"Host", "-x"}, {"MpcPort", "80a"}, {"VlcPort", "-80"}},
        {{"MpvPipe", "\\\\.\\pipe\\"}, {"Host", "a b"}, {"MpcPort", " ; 80"}, {"VlcPassword", "\t; none"}},
    };
    for (const Ini& d : defaults) {
        EXPECT_TRUE(Read<CPlayerConfig>(d) == CPlayerConfig()) << d.size();
        for (const auto& [key, value] : d)  // refused one by one, as the options dialog sets them
            EXPECT_TRUE(key == "VlcPassword" || !CPlayerConfig().Set(key.c_str(), ProfileValue(value))) << key << value;
    }
    const auto c = Read<CPlayerConfig>({{"Follow", " MPV ; the pipe"}, {"MpvPipe", "mpv2  ; mine"}, {"MpcPort", "8000 ;"},
                                        {"VlcPassword", " a b ; comment"}});
    EXPECT_TRUE(c.eFollow == CPlayerConfig::Mpv && c.PipePath() == "\\\\.\\pipe\\mpv2" && c.nMpcPort == 8000 &&
                c.strVlcPassword == "a b");
}

// The README's Kelvane.ini example, as it stands there (blanks and "; comment" after each value), names every
// option with the value that a first run writes. A value that would not read back as written is not one.
TEST(OptionValues, ReadmeExampleIsWhatAFirstRunWrites) {
    Ini readme;
    std::ifstream in(KELVANE_SOURCE_DIR "/README.md");
    std::string line;
    while (std::getline(in, line) && line != "```ini") {}
    while (std::getline(in, line) && line != "```")
        if (const size_t eq = line.find('='); eq != std::string::npos)
            readme[line.substr(0, eq)] = ProfileValue(line.substr(eq + 1));
    EXPECT_EQ(readme, Written(COptionValues()));
    for (const auto& [value, kept] : std::map<std::string, bool>{{"p;w", true}, {"a b", true}, {"", true}, {" a", false},
         {"a\t", false}, {"a ;b", false}, {"\"a\"", false}, {"'a", false}, {"a'", false}})
        EXPECT_EQ(IsProfileValue(value), kept) << value;
}

// The packages' README.txt names every key of the overlay's table of live commands.
TEST(OptionValues, PackagesReadmeNamesEveryLiveKey) {
    std::ifstream in(KELVANE_SOURCE_DIR "/package/README.txt");
    const std::string readme{std::istreambuf_iterator<char>(in), {}};
    for (const CLiveCommand& c : LiveCommands())
        EXPECT_NE(readme.find("\n  " + std::string(c.keyName) + " "), std::string::npos) << c.keyName;
}

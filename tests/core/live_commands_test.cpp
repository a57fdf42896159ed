// The live-control keys: the packages' README.txt names every key of the overlay's table.
#include "core/LiveCommands.h"

#include <iterator>

#include "tests/core/test_util.h"

TEST(LiveCommands, ThePackagesReadmeNamesEveryKey)
{
    std::ifstream in(KELVANE_SOURCE_DIR "/package/README.txt");
    const std::string readme{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(readme.empty());
    for (const CLiveCommand& c : LiveCommands())
        EXPECT_NE(readme.find("\n  " + std::string(c.keyName) + " "), std::string::npos) << c.keyName;
}

// Where the overlay opens: the saved rectangle, or centred when it would be lost off screen.
#include "core/OverlayPlacement.h"

#include <climits>

#include "tests/core/test_util.h"

TEST(OverlayPlacement, SavedRectangleOrCentredOnThePrimaryWorkArea) {
    const KRect work{0, 0, 1280, 984}, screen{0, 0, 1280, 1024}, right{1280, 0, 2560, 1024}, none{0, 0, 0, 0};
    const KRect centredSaved{240, 402, 1040, 582}, centredTemplate{440, 392, 840, 592};  // 800 x 180, 400 x 200
    const struct { KRect saved; std::vector<KRect> monitors; KRect placed; } cases[] = {
        {{1400, 600, 2200, 780}, {screen}, centredSaved},  // a monitor unplugged
        {{1400, 600, 2200, 780}, {screen, right}, {1400, 600, 2200, 780}},
        {{100000, 100000, 100800, 100180}, {screen}, centredSaved},
        {{-30, 200, 570, 380}, {screen}, {-30, 200, 570, 380}},  // partly on screen: as it is
        {{1232, 100, 2032, 280}, {screen}, {1232, 100, 2032, 280}}, {{1233, 100, 2033, 280}, {screen}, centredSaved},
        {{200, 1000, 1000, 1180}, {screen}, {200, 1000, 1000, 1180}}, {{200, 1001, 1000, 1181}, {screen}, centredSaved},
        // 48 and 47 pixels shown; no width, a negative one, a tiny one, too wide to compute.
        {{500, 500, 500, 700}, {screen}, centredTemplate}, {{900, 500, 100, 700}, {screen}, centredTemplate},
        {{500, 500, 530, 510}, {screen}, centredTemplate}, {{INT_MIN, 0, INT_MAX, 100}, {screen}, centredTemplate},
        {{5000, 0, 8000, 2000}, {screen}, centredTemplate},  // larger than the work area
        {{-500, -500, 2000, 2000}, {screen}, {-500, -500, 2000, 2000}},
        {{10, 300, 900, 300}, {screen}, none},  // not stored: the framework places it
    };
    for (const auto& row : cases) {
        KRect placed{0, 0, 0, 0};
        EXPECT_EQ(PlaceOverlay(row.saved, row.monitors, work, 400, 200, placed), row.placed.right != 0)
            << "row " << &row - cases;
        EXPECT_TRUE(!std::memcmp(&placed, &row.placed, sizeof placed)) << "row " << &row - cases;
    }
}

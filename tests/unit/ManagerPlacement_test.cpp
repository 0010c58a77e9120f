#include "content/ManagerPlacement.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

constexpr int kWidth = 477;     // the design client width and a frame
constexpr int kMinHeight = 127; // the top row and one row of files

int WantedHeight(int files) {
    return *WindowHeightTwips(files) / 15;
}

void ExpectInside(const ManagerPlace& place, const PixelRect& work) {
    EXPECT_GE(place.x, work.left);
    EXPECT_LE(place.x + kWidth, work.right);
    EXPECT_GE(place.y, work.top);
    EXPECT_LE(place.y + place.height, work.bottom);
}

} // namespace

TEST(PlaceContentManager, OpensBelowALineNearTheTopOfASmallScreen) {
    // 1366 x 768 with a 40 px taskbar: the 646 px text window starts at 82, its panel at 52..179 and the
    // toolbar at 34.
    PixelRect work{0, 0, 1366, 728};
    ManagerPlace place = PlaceContentManager(work, 34, 179, kWidth, WantedHeight(40), kMinHeight);
    ExpectInside(place, work);
    EXPECT_GE(place.y, 179);
    EXPECT_EQ(place.height, WantedHeight(40)); // 40 files fit: no scrolling
    EXPECT_EQ(place.x, (1366 - kWidth) / 2);
}

TEST(PlaceContentManager, KeepsTheTopRowClearOfALineMidScreen) {
    // 1920 x 1080: the panel at 364..491, the toolbar from 346; ten files used to put the top row at 431.
    PixelRect work{0, 0, 1920, 1040};
    ManagerPlace place = PlaceContentManager(work, 346, 491, kWidth, WantedHeight(10), kMinHeight);
    ExpectInside(place, work);
    EXPECT_GE(place.y, 491);
}

TEST(PlaceContentManager, TakesTheRoomAboveWhenItIsTheLarger) {
    PixelRect work{0, 0, 1920, 1040};
    ManagerPlace place = PlaceContentManager(work, 800, 950, kWidth, WantedHeight(6), kMinHeight);
    ExpectInside(place, work);
    EXPECT_LE(place.y + place.height, 800);
}

TEST(PlaceContentManager, ShortensToTheRoomSoTheGridScrolls) {
    PixelRect work{0, 0, 1366, 728};
    ManagerPlace place = PlaceContentManager(work, 34, 179, kWidth, WantedHeight(200), kMinHeight);
    ExpectInside(place, work);
    EXPECT_EQ(place.y, 179);
    EXPECT_EQ(place.height, 728 - 179);
}

TEST(PlaceContentManager, UsesTheWholeWorkAreaWhenNeitherSideHasRoom) {
    PixelRect work{0, 30, 800, 400}; // taskbar at the top
    ManagerPlace place = PlaceContentManager(work, 120, 320, kWidth, WantedHeight(60), kMinHeight);
    ExpectInside(place, work);
    EXPECT_EQ(place.y, 30);
    EXPECT_EQ(place.height, 370);
}

TEST(PlaceContentManager, StaysInsideAnOffsetWorkAreaWhateverTheLine) {
    PixelRect work{100, 50, 1100, 650};
    for (int lineTop : {-900, 0, 60, 300, 620, 2000}) {
        for (int files : {1, 9, 100}) {
            ManagerPlace place =
                PlaceContentManager(work, lineTop, lineTop + 150, kWidth, WantedHeight(files), kMinHeight);
            ExpectInside(place, work);
            EXPECT_GT(place.height, 0);
        }
    }
}

TEST(KeepTicks, KeepsTicksOfFilesStillListedAndAddsNewOnesUnticked) {
    std::vector<ContentEntry> before{{u"a.txt", u"T\\"}, {u"b.txt", u"T\\"}, {u"a.txt", u"T\\sub\\"}};
    std::vector<ContentEntry> after{
        {u"new.txt", u"T\\"}, {u"a.txt", u"T\\"}, {u"a.txt", u"T\\sub\\"}, {u"b.txt", u"T\\sub\\"}};
    // b.txt has gone from T\; a b.txt elsewhere is another file.
    EXPECT_EQ(KeepTicks(before, {true, true, false}, after), (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(KeepTicks(before, {false, false, true}, after), (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(KeepTicks({}, {}, after), (std::vector<bool>(4, false)));
    EXPECT_EQ(KeepTicks(before, {true}, {}), std::vector<bool>{});
}

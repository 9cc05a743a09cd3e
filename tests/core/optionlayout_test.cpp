// Placement and tab stops of the options window.
#include "OptionLayout.h"

#include <gtest/gtest.h>

#include <climits>

namespace core {
namespace {

TEST(CenterOver, MainWindowAndOptionsWindow) {
  // 670 x 429 owner, 380 x 481 window: 145 right of and 26 above the owner.
  const IntPoint p = CenterOver(300, 200, 670, 429, 380, 481);
  EXPECT_EQ(p.x - 300, 145);
  EXPECT_EQ(p.y - 200, -26);
  EXPECT_EQ(p, (IntPoint{445, 174}));
}

TEST(CenterOver, NegativeResultBecomesZero) {
  EXPECT_EQ(CenterOver(300, 10, 670, 429, 380, 481), (IntPoint{445, 0}));
  EXPECT_EQ(CenterOver(0, 25, 670, 429, 380, 481), (IntPoint{145, 0}));
  EXPECT_EQ(CenterOver(0, 26, 670, 429, 380, 481), (IntPoint{145, 0}));
  EXPECT_EQ(CenterOver(0, 27, 670, 429, 380, 481), (IntPoint{145, 1}));
  EXPECT_EQ(CenterOver(-500, -500, 670, 429, 380, 481), (IntPoint{0, 0}));
}

TEST(CenterOver, DivisionTruncatesTowardZero) {
  // (0 - 53) / 2 is -26 with truncation (floor division would give -27).
  EXPECT_EQ(CenterOver(100, 100, 0, 0, 53, 53), (IntPoint{74, 74}));
  EXPECT_EQ(CenterOver(100, 100, 53, 53, 0, 0), (IntPoint{126, 126}));
}

TEST(CenterOver, ExtremeValuesDoNotOverflow) {
  EXPECT_EQ(CenterOver(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0), (IntPoint{INT_MAX, INT_MAX}));
  EXPECT_EQ(CenterOver(INT_MIN, INT_MIN, 0, 0, INT_MAX, INT_MAX), (IntPoint{0, 0}));
}

TEST(TabUnit, RoundsToTheNearestPixel) {
  EXPECT_EQ(TabUnitFromAlphabetWidth(312), 6);  // "宋体" 12 px
  EXPECT_EQ(TabUnitFromAlphabetWidth(337), 6);
  EXPECT_EQ(TabUnitFromAlphabetWidth(338), 7);  // 6.5 rounds up
  EXPECT_EQ(TabUnitFromAlphabetWidth(286), 6);  // 5.5 rounds up
  EXPECT_EQ(TabUnitFromAlphabetWidth(285), 5);
  EXPECT_EQ(TabUnitFromAlphabetWidth(0), 0);
  EXPECT_EQ(std::char_traits<char>::length(kTabUnitSample), 52u);
}

TEST(TabUnit, StopsOfTheKeyList) {
  const int unit = TabUnitFromAlphabetWidth(312);
  EXPECT_EQ(-kKeyListTabStops[0] * unit, 108);  // actions end at x = 108
  EXPECT_EQ(kKeyListTabStops[1] * unit, 132);   // keys begin at x = 132
  EXPECT_EQ(kKeyListItemHeight, 16);
  EXPECT_EQ(19 * kKeyListItemHeight, 304);
}

TEST(RowTextOffset, HalfTheSpareHeightTruncated) {
  EXPECT_EQ(RowTextOffset(16, 12), 2);
  EXPECT_EQ(RowTextOffset(16, 13), 1);
  EXPECT_EQ(RowTextOffset(16, 16), 0);
  EXPECT_EQ(RowTextOffset(16, 19), -1);  // truncation toward zero
  EXPECT_EQ(RowTextOffset(16, 20), -2);
}

}  // namespace
}  // namespace core

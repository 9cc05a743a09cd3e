// Picture slot geometry: frame, size cap, right alignment, vertical centring.
#include "AdSlot.h"

#include <gtest/gtest.h>

namespace core {
namespace {

struct SlotCase {
  int picW, picH;
  SlotRect expected;  // left, top, width, height
};

class PictureSlotTable : public ::testing::TestWithParam<SlotCase> {};

TEST_P(PictureSlotTable, FramedCappedAndPlaced) {
  const SlotCase& c = GetParam();
  const SlotRect r = PictureSlot(c.picW, c.picH, 670);
  EXPECT_EQ(r, c.expected) << c.picW << " x " << c.picH << " -> left " << r.left << " top " << r.top
                           << " " << r.width << " x " << r.height;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureSlotTable,
    ::testing::Values(SlotCase{168, 46, {490, 63, 170, 48}}, SlotCase{300, 60, {490, 63, 170, 48}},
                      SlotCase{100, 20, {558, 76, 102, 22}}, SlotCase{10, 11, {648, 80, 12, 13}},
                      SlotCase{169, 47, {490, 63, 170, 48}}));

TEST(PictureSlot, RightEdgeTenLeftOfTheSkinsAndOddHeightsRoundDown) {
  for (int w : {0, 1, 50, 167, 168, 169, 1000}) {
    const SlotRect r = PictureSlot(w, 10, 670);
    EXPECT_EQ(r.left + r.width, 660);
  }
  EXPECT_EQ(PictureSlot(10, 45, 670).top, 63);  // (48 - 47) / 2 = 0
  EXPECT_EQ(PictureSlot(10, 44, 670).top, 64);  // (48 - 46) / 2 = 1
  EXPECT_EQ(PictureSlot(10, 43, 670).top, 64);  // (48 - 45) / 2 = 1
  EXPECT_EQ(PictureSlot(0, 0, 670), (SlotRect{658, 86, 2, 2}));
  EXPECT_EQ(PictureSlot(100, 20, 380).left, 268);
  EXPECT_EQ(PictureSlot(10, 50, 670).top, 63);
}

}  // namespace
}  // namespace core

// The drop shadow's pixel work: blur, outline, premultiplied colour and the
// transparent-colour mask.
#include "ShadowPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace core {
namespace {

constexpr uint32_t kShadowColour = 10582346;  // RGB(74, 121, 161)

struct Image {
  std::vector<uint8_t> bytes;
  PixelView view;
  Image(int w, int h) : bytes(static_cast<std::size_t>(w) * h * 4), view{bytes.data(), w, h} {}
  Image(const Image&) = delete;
  uint8_t* At(int x, int y) const { return view.Pixel(x, y); }
  uint8_t Alpha(int x, int y) const { return At(x, y)[3]; }
  void Fill(uint8_t colour, uint8_t alpha) {
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
      bytes[i] = bytes[i + 1] = bytes[i + 2] = colour;
      bytes[i + 3] = alpha;
    }
  }
};

// ---- MulTable, clamps -------------------------------------------------------

TEST(MulTable, Entries) {
  EXPECT_EQ(MulTable[255 * 256 + 255], 255);
  EXPECT_EQ(MulTable[200 * 256 + 100], 78);
  for (int k = 0; k < 256; ++k) {
    EXPECT_EQ(MulTable[static_cast<std::size_t>(k)], 0) << "i 0, j " << k;
    EXPECT_EQ(MulTable[static_cast<std::size_t>(k) * 256], 0) << "i " << k << ", j 0";
  }
  for (int i = 0; i < 256; ++i)
    for (int j = 0; j < 256; ++j)
      ASSERT_EQ(MulTable[static_cast<std::size_t>(i * 256 + j)], i * j / 255) << i << " " << j;
}

TEST(Clamp, RowsAndColumns) {
  EXPECT_EQ(ClampRow(-3, 92), 0);
  EXPECT_EQ(ClampRow(0, 92), 0);
  EXPECT_EQ(ClampRow(91, 92), 91);
  EXPECT_EQ(ClampRow(92, 92), 91);
  EXPECT_EQ(ClampRow(500, 92), 91);
  EXPECT_EQ(ClampCol(-1, 132), 0);
  EXPECT_EQ(ClampCol(131, 132), 131);
  EXPECT_EQ(ClampCol(134, 132), 131);
  EXPECT_EQ(ClampCol(66, 132), 66);
}

// ---- BlurPass ---------------------------------------------------------------

TEST(BlurPass, ReadsTheBufferAsItIsBeingRewrittenInOneRow) {
  Image img(3, 1);
  const uint8_t blue[3] = {0, 255, 0}, green[3] = {255, 0, 255}, red[3] = {10, 20, 30};
  for (int x = 0; x < 3; ++x) {
    img.At(x, 0)[0] = blue[x];
    img.At(x, 0)[1] = green[x];
    img.At(x, 0)[2] = red[x];
    img.At(x, 0)[3] = static_cast<uint8_t>(200 + x);
  }
  BlurPass(img.view, 1);
  // x 0: (0+255)*2/4; x 1: (new 127 + 0)*2/4; x 2: (new 63 + own 0)*2/4.
  EXPECT_EQ(img.At(0, 0)[0], 127);
  EXPECT_EQ(img.At(1, 0)[0], 63);
  EXPECT_EQ(img.At(2, 0)[0], 31);
  EXPECT_EQ(img.At(0, 0)[1], 127);
  EXPECT_EQ(img.At(1, 0)[1], 191);
  EXPECT_EQ(img.At(2, 0)[1], 223);
  EXPECT_EQ(img.At(0, 0)[2], 15);  // (10+20)*2/4
  EXPECT_EQ(img.At(1, 0)[2], 22);  // (15+30)*2/4
  EXPECT_EQ(img.At(2, 0)[2], 26);  // (22+30)*2/4
  for (int x = 0; x < 3; ++x) EXPECT_EQ(img.At(x, 0)[3], 200 + x);  // alpha untouched
}

TEST(BlurPass, InPlaceOrderOnASmallSquare) {
  Image img(3, 3);
  img.At(1, 1)[0] = img.At(1, 1)[1] = img.At(1, 1)[2] = 255;
  BlurPass(img.view, 1);
  const int expected[3][3] = {{63, 15, 67}, {19, 32, 20}, {12, 12, 16}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      for (int c = 0; c < 3; ++c) EXPECT_EQ(img.At(x, y)[c], expected[y][x]) << x << "," << y;
}

// One blur pass written out as plainly as possible, to check BlurPass on
// many sizes and distances.
void ReferencePass(std::vector<uint8_t>& b, int w, int h, int k) {
  auto at = [&](int x, int y) { return &b[(static_cast<std::size_t>(y) * w + x) * 4]; };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int yu = ClampRow(y - k, h), yd = ClampRow(y + k, h);
      const int xl = ClampCol(x - k, w), xr = ClampCol(x + k, w);
      for (int c = 0; c < 3; ++c)
        at(x, y)[c] = static_cast<uint8_t>((at(xl, yu)[c] + at(xr, yu)[c] + at(xl, yd)[c] + at(xr, yd)[c]) >> 2);
    }
}

TEST(BlurPass, SameAsThePlainLoopForManySizes) {
  uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<uint8_t>(seed >> 24);
  };
  for (int h = 1; h <= 9; ++h)
    for (int w = 1; w <= 11; ++w)
      for (int k = -1; k <= 5; ++k) {
        Image img(w, h);
        for (uint8_t& byte : img.bytes) byte = next();
        std::vector<uint8_t> ref = img.bytes;
        BlurPass(img.view, k);
        ReferencePass(ref, w, h, k);
        ASSERT_EQ(img.bytes, ref) << w << " x " << h << ", distance " << k;
      }
  // And the whole shadow-sized bitmap, three passes.
  Image big(132, 92);
  for (uint8_t& byte : big.bytes) byte = next();
  std::vector<uint8_t> ref = big.bytes;
  BlurBitmap(big.view, kShadowBlurPasses);
  for (int k = 1; k <= kShadowBlurPasses; ++k) ReferencePass(ref, 132, 92, k);
  EXPECT_EQ(big.bytes, ref);
}

TEST(BlurPass, EmptyImageIsLeftAlone) {
  BlurPass(PixelView{}, 1);
  BlurBitmap(PixelView{}, 3);
  SUCCEED();
}

// ---- FillGray, outline ------------------------------------------------------

TEST(FillGray, ClipsToTheImageAndKeepsAlpha) {
  Image img(4, 4);
  img.Fill(9, 7);
  const IntRect rects[] = {{-2, -2, 2, 2}, {3, 3, 10, 10}, {2, 2, 2, 5}, {3, 1, 1, 3}, {1, 0, 2, 2}};
  FillGray(img.view, rects, 200);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool in = (x < 2 && y < 2) || (x == 3 && y == 3);
      for (int c = 0; c < 3; ++c) EXPECT_EQ(img.At(x, y)[c], in ? 200 : 9) << x << "," << y;
      EXPECT_EQ(img.Alpha(x, y), 7);
    }
}

TEST(ShadowOutline, WindowRectangleWithoutRegion) {
  EXPECT_EQ(ShadowOutline({}, 100, 60, false, 0, 0), (std::vector<IntRect>{{16, 16, 116, 76}}));
  // The border is ignored without a border style.
  EXPECT_EQ(ShadowOutline({}, 100, 60, false, 9, 9), (std::vector<IntRect>{{16, 16, 116, 76}}));
  // With a border: a third of it, rounded down, each way.
  EXPECT_EQ(ShadowOutline({}, 100, 60, true, 8, 5), (std::vector<IntRect>{{14, 15, 118, 77}}));
  EXPECT_EQ(ShadowOutline({}, 100, 60, true, 2, 2), (std::vector<IntRect>{{16, 16, 116, 76}}));
  EXPECT_EQ(ShadowOutline({}, 670, 429, true, 3, 6), (std::vector<IntRect>{{15, 14, 687, 447}}));
}

TEST(ShadowOutline, RegionRectanglesMovedBySixteen) {
  const IntRect region[] = {{4, 1, 97, 2}, {1, 2, 100, 60}};
  EXPECT_EQ(ShadowOutline(region, 100, 60, true, 30, 30),
            (std::vector<IntRect>{{20, 17, 113, 18}, {17, 18, 116, 76}}));
}

// ---- A 100 x 60 form without border -----------------------------------------

TEST(ShadowImage, BorderlessForm100x60) {
  const int formW = 100, formH = 60;
  Image img(formW + 2 * kShadowMargin, formH + 2 * kShadowMargin);
  ASSERT_EQ(img.view.width, 132);
  ASSERT_EQ(img.view.height, 92);
  img.Fill(77, 77);  // whatever the bitmap held before
  const std::vector<IntRect> outline = ShadowOutline({}, formW, formH, false, 0, 0);
  BuildShadowImage(img.view, outline, kShadowColour);

  const int above[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 31, 47, 71, 99, 121, 140};
  const int below[16] = {91, 76, 63, 51, 41, 34, 27, 21, 17, 14, 10, 8, 7, 5, 4, 4};
  const int left[16] = {0, 0, 1, 1, 3, 4, 7, 11, 17, 24, 37, 48, 64, 79, 97, 113};
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(img.Alpha(66, i), above[i]) << "column 66, row " << i;
    EXPECT_EQ(img.Alpha(66, 76 + i), below[i]) << "column 66, row " << 76 + i;
    EXPECT_EQ(img.Alpha(i, 46), left[i]) << "row 46, column " << i;
    EXPECT_EQ(img.Alpha(131 - i, 46), left[i]) << "row 46, column " << 131 - i;
  }
  const uint8_t* p = img.At(66, 15);
  EXPECT_EQ(p[0], 88);
  EXPECT_EQ(p[1], 66);
  EXPECT_EQ(p[2], 40);
  EXPECT_EQ(p[3], 140);
  p = img.At(66, 76);
  EXPECT_EQ(p[0], 57);
  EXPECT_EQ(p[1], 43);
  EXPECT_EQ(p[2], 26);
  EXPECT_EQ(p[3], 91);

  int maxAlpha = 0;
  for (int y = 0; y < img.view.height; ++y)
    for (int x = 0; x < img.view.width; ++x) {
      const uint8_t* q = img.At(x, y);
      maxAlpha = std::max<int>(maxAlpha, q[3]);
      if (x >= 16 && x < 116 && y >= 16 && y < 76) {
        ASSERT_EQ(q[0] | q[1] | q[2] | q[3], 0) << "under the form at " << x << "," << y;
      }
      // Premultiplied: every colour byte is the colour's component times alpha.
      ASSERT_EQ(q[0], MulTable[161 * 256 + q[3]]);
      ASSERT_EQ(q[1], MulTable[121 * 256 + q[3]]);
      ASSERT_EQ(q[2], MulTable[74 * 256 + q[3]]);
    }
  EXPECT_EQ(maxAlpha, 140);
}

// ---- A rounded window region ------------------------------------------------

// A few rectangles approximating CreateRoundRectRgn(1, 1, 100, 60, 9, 9).
const IntRect kRoundedRegion[] = {{4, 1, 97, 2}, {2, 2, 99, 4}, {1, 4, 100, 57}, {2, 57, 99, 59}, {4, 59, 97, 60}};

bool InRegion(int formX, int formY) {
  for (const IntRect& r : kRoundedRegion)
    if (formX >= r.left && formX < r.right && formY >= r.top && formY < r.bottom) return true;
  return false;
}

TEST(ShadowImage, RoundedRegionMask) {
  Image img(132, 92);
  const std::vector<IntRect> outline = ShadowOutline(kRoundedRegion, 100, 60, false, 0, 0);
  FillGray(img.view, outline, 255);
  // Corner pixels outside the outline get no white mask.
  const std::pair<int, int> outside[] = {{0, 0},  {1, 1},  {3, 1}, {1, 3},  {99, 59}, {99, 58},
                                         {97, 59}, {99, 0}, {0, 59}, {50, 0}, {0, 30}};
  for (const auto& [fx, fy] : outside)
    EXPECT_EQ(img.At(fx + 16, fy + 16)[0], 0) << "form " << fx << "," << fy;
  const std::pair<int, int> inside[] = {{4, 1}, {2, 2}, {1, 4}, {50, 30}, {99, 56}, {98, 58}, {96, 59}};
  for (const auto& [fx, fy] : inside)
    EXPECT_EQ(img.At(fx + 16, fy + 16)[0], 255) << "form " << fx << "," << fy;
}

TEST(ShadowImage, RoundedRegionShadow) {
  Image rounded(132, 92);
  BuildShadowImage(rounded.view, ShadowOutline(kRoundedRegion, 100, 60, false, 0, 0), kShadowColour);
  Image square(132, 92);
  BuildShadowImage(square.view, ShadowOutline({}, 100, 60, false, 0, 0), kShadowColour);

  bool cornerDiffers = false;
  for (int y = 0; y < 92; ++y)
    for (int x = 0; x < 132; ++x) {
      const int fx = x - 16, fy = y - 16;
      const uint8_t* p = rounded.At(x, y);
      if (InRegion(fx, fy)) {
        ASSERT_EQ(p[0] | p[1] | p[2] | p[3], 0) << "under the form at " << x << "," << y;
        continue;
      }
      const bool underFormRect = fx >= 0 && fx < 100 && fy >= 0 && fy < 60;
      if (!underFormRect) {
        // Less mask can only give less shadow.
        ASSERT_LE(p[3], square.Alpha(x, y)) << x << "," << y;
        if (p[3] < square.Alpha(x, y)) cornerDiffers = true;
      }
    }
  EXPECT_TRUE(cornerDiffers);
  // The cut corners inside the form's rectangle show the shadow.
  EXPECT_GT(rounded.Alpha(16 + 1, 16 + 1), 0);
  EXPECT_GT(rounded.Alpha(16 + 99, 16 + 59), 0);
  // The region starts at (1, 1): the form's top row and left column cast shadow too.
  EXPECT_GT(rounded.Alpha(66, 16), 0);
  EXPECT_GT(rounded.Alpha(16, 46), 0);
}

// ---- Recolour ---------------------------------------------------------------

TEST(UpdateLayerPixels, RecolourKeepsEveryAlphaAndRewritesColour) {
  Image img(132, 92);
  BuildShadowImage(img.view, ShadowOutline(kRoundedRegion, 100, 60, false, 0, 0), kShadowColour);
  const std::vector<uint8_t> before = img.bytes;

  const uint32_t newColour = 0x00336699;  // red 0x99, green 0x66, blue 0x33
  UpdateLayerPixels(img.view, newColour, false);
  for (std::size_t i = 0; i < img.bytes.size(); i += 4) {
    const uint8_t a = before[i + 3];
    ASSERT_EQ(img.bytes[i + 3], a);
    ASSERT_EQ(img.bytes[i + 0], MulTable[0x33 * 256 + a]);
    ASSERT_EQ(img.bytes[i + 1], MulTable[0x66 * 256 + a]);
    ASSERT_EQ(img.bytes[i + 2], MulTable[0x99 * 256 + a]);
  }
  // The first colour again gives the first image back: the shape lives in alpha.
  UpdateLayerPixels(img.view, kShadowColour, false);
  EXPECT_EQ(img.bytes, before);
  // The top byte of the colour value plays no part.
  UpdateLayerPixels(img.view, 0xFF000000u | kShadowColour, false);
  EXPECT_EQ(img.bytes, before);
}

TEST(UpdateLayerPixels, TakeAlphaCopiesBlueIntoAlphaFirst) {
  Image img(2, 1);
  img.At(0, 0)[0] = 255;
  img.At(0, 0)[3] = 3;
  img.At(1, 0)[0] = 100;
  img.At(1, 0)[1] = 250;
  img.At(1, 0)[3] = 99;
  UpdateLayerPixels(img.view, 0x00FFFFFF, true);
  EXPECT_EQ(img.Alpha(0, 0), 255);
  EXPECT_EQ(img.At(0, 0)[0], 255);
  EXPECT_EQ(img.At(0, 0)[1], 255);
  EXPECT_EQ(img.Alpha(1, 0), 100);
  EXPECT_EQ(img.At(1, 0)[1], 100);
  UpdateLayerPixels(img.view, 0x00000000, false);
  EXPECT_EQ(img.Alpha(1, 0), 100);
  EXPECT_EQ(img.At(1, 0)[0] | img.At(1, 0)[1] | img.At(1, 0)[2], 0);
}

// ---- Transparent-colour mask ------------------------------------------------

constexpr uint32_t kKey = 0x00FF00FF;      // magenta, 0x00RRGGBB
constexpr uint32_t kVisible = 0x00DAE8FC;  // the body colour
constexpr int kClientW = 4, kClientH = 3;

std::vector<uint32_t> Painted() {
  std::vector<uint32_t> p(kClientW * kClientH, kVisible);
  p[0 * kClientW + 1] = kKey;  // (1, 0)
  p[2 * kClientW + 2] = kKey;  // (2, 2)
  return p;
}

bool IsKeyPixel(int cx, int cy) { return (cx == 1 && cy == 0) || (cx == 2 && cy == 2); }

// Image 8 x 6, client copied to (2, 1).
void CheckStamp(const Image& img, bool stamp, const IntRect* clip) {
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const int cx = x - 2, cy = y - 1;
      bool touched = cx >= 0 && cx < kClientW && cy >= 0 && cy < kClientH;
      if (clip) touched = touched && x >= clip->left && x < clip->right && y >= clip->top && y < clip->bottom;
      int want = 0x80;
      if (touched) {
        if (stamp)
          want = IsKeyPixel(cx, cy) ? 0 : 255;
        else
          want = IsKeyPixel(cx, cy) ? 0x80 : 0;
      }
      for (int c = 0; c < 3; ++c) EXPECT_EQ(img.At(x, y)[c], want) << x << "," << y << " stamp " << stamp;
      EXPECT_EQ(img.Alpha(x, y), 0x55) << x << "," << y;
    }
}

TEST(StampTransparentMask, StampMakesVisibleWhiteAndTransparentBlack) {
  Image img(8, 6);
  img.Fill(0x80, 0x55);
  const auto painted = Painted();
  StampTransparentMask(img.view, painted, kClientW, kClientH, 2, 1, kKey, true, {});
  CheckStamp(img, true, nullptr);
}

TEST(StampTransparentMask, AndMakesVisibleBlackAndKeepsTransparent) {
  Image img(8, 6);
  img.Fill(0x80, 0x55);
  const auto painted = Painted();
  StampTransparentMask(img.view, painted, kClientW, kClientH, 2, 1, kKey, false, {});
  CheckStamp(img, false, nullptr);
}

TEST(StampTransparentMask, OnlyInsideTheClip) {
  const IntRect clip[] = {{3, 0, 5, 3}};
  for (const bool stamp : {true, false}) {
    Image img(8, 6);
    img.Fill(0x80, 0x55);
    const auto painted = Painted();
    StampTransparentMask(img.view, painted, kClientW, kClientH, 2, 1, kKey, stamp, clip);
    CheckStamp(img, stamp, &clip[0]);
  }
}

TEST(StampTransparentMask, ClippedByTheImageAndTopByteIgnored) {
  Image img(2, 2);
  img.Fill(0x80, 0x55);
  std::vector<uint32_t> painted(kClientW * kClientH, kVisible);
  painted[1 * kClientW + 3] = 0xFF000000u | kKey;  // (3, 1) lands on (1, 1)
  StampTransparentMask(img.view, painted, kClientW, kClientH, -2, 0, kKey, true, {});
  EXPECT_EQ(img.At(0, 0)[0], 255);
  EXPECT_EQ(img.At(1, 0)[0], 255);
  EXPECT_EQ(img.At(0, 1)[0], 255);
  EXPECT_EQ(img.At(1, 1)[0], 0);
  // A painted buffer smaller than the client area is not read at all.
  Image other(8, 6);
  other.Fill(0x80, 0x55);
  StampTransparentMask(other.view, std::span<const uint32_t>(painted.data(), 5), kClientW, kClientH, 0,
                       0, kKey, true, {});
  for (std::size_t i = 0; i < other.bytes.size(); i += 4) ASSERT_EQ(other.bytes[i], 0x80);
}

TEST(StampTransparentMask, TransparentFormPipeline) {
  // A form with a transparent colour, the whole build in order: the area it
  // covers ends black, its transparent pixels let the blurred shadow through.
  Image img(4 + 32, 3 + 32);
  img.Fill(0, 0);
  const std::vector<IntRect> outline = ShadowOutline({}, 4, 3, false, 0, 0);
  const auto painted = Painted();
  FillGray(img.view, outline, 255);
  StampTransparentMask(img.view, painted, kClientW, kClientH, 16, 16, kKey, true, {});
  BlurBitmap(img.view, kShadowBlurPasses);
  StampTransparentMask(img.view, painted, kClientW, kClientH, 16, 16, kKey, false, {});
  UpdateLayerPixels(img.view, kShadowColour, true);
  for (int cy = 0; cy < kClientH; ++cy)
    for (int cx = 0; cx < kClientW; ++cx)
      if (!IsKeyPixel(cx, cy)) {
        EXPECT_EQ(img.Alpha(16 + cx, 16 + cy), 0) << cx << "," << cy;
      }
  EXPECT_GT(img.Alpha(16 + 2, 16 + 2), 0);
}

}  // namespace
}  // namespace core

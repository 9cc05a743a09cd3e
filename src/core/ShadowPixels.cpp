// The drop shadow's pixel work: outline fill, blur, transparent-colour mask
// and the premultiplied colour the layered window takes.
#include "ShadowPixels.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace core {

namespace {

constexpr std::array<uint8_t, 65536> MakeMulTable() {
  std::array<uint8_t, 65536> t{};
  for (int i = 0; i < 256; ++i)
    for (int j = 0; j < 256; ++j) t[static_cast<std::size_t>(i * 256 + j)] = static_cast<uint8_t>(i * j / 255);
  return t;
}

constexpr std::size_t Size(int v) { return static_cast<std::size_t>(v); }

std::size_t ByteCount(const PixelView& image) { return Size(image.width) * Size(image.height) * 4; }

bool IsUsable(const PixelView& image) {
  return image.bits != nullptr && image.width > 0 && image.height > 0;
}

// The rectangle cut to the image; empty (left >= right or top >= bottom) when outside.
IntRect ClipToImage(const IntRect& r, const PixelView& image) {
  return IntRect{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, image.width),
                 std::min(r.bottom, image.height)};
}

bool Contains(std::span<const IntRect> rects, int x, int y) {
  for (const IntRect& r : rects)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

void SetColour(uint8_t* p, uint8_t value) {
  p[0] = value;
  p[1] = value;
  p[2] = value;
}

}  // namespace

// Constant-initialised: filled at compile time, so it is ready before main runs.
constexpr std::array<uint8_t, 65536> MulTable = MakeMulTable();

int ClampRow(int v, int height) {
  if (v < 0) return 0;
  if (v >= height) return height - 1;
  return v;
}

int ClampCol(int v, int width) {
  if (v < 0) return 0;
  if (v >= width) return width - 1;
  return v;
}

namespace {

// One pixel of a pass: each colour byte := the sum of that byte
// at the four clamped diagonal samples, shifted right by 2, written at once.
inline void BlurPixel(uint8_t* p, const uint8_t* up, const uint8_t* down, std::size_t l, std::size_t r) {
  for (std::size_t c = 0; c < 3; ++c) {
    const unsigned sum = unsigned{up[l + c]} + up[r + c] + down[l + c] + down[r + c];
    p[c] = static_cast<uint8_t>(sum >> 2);
  }
}

// A row whose samples may lie on the row itself (near the first and last
// rows, where clamping folds them onto it): strictly left to right, so the
// samples left of x already hold new values, as in a plain in-place pass.
void BlurRowInOrder(uint8_t* row, const uint8_t* up, const uint8_t* down, int w, int k) {
  for (int x = 0; x < w; ++x) {
    const std::size_t l = Size(ClampCol(x - k, w)) * 4;
    const std::size_t r = Size(ClampCol(x + k, w)) * 4;
    BlurPixel(row + Size(x) * 4, up, down, l, r);
  }
}

// A row whose samples all lie on two other rows: nothing written to this row
// is read again in this pass, so the result does not depend on the order in
// which its pixels are done, and the same bytes come out as in BlurRowInOrder.
void BlurRowFromOtherRows(uint8_t* __restrict row, const uint8_t* __restrict up,
                          const uint8_t* __restrict down, int w, int k) {
  const int lo = std::min(k, w);        // x below lo: left sample clamped
  const int hi = std::max(lo, w - k);   // x from hi on: right sample clamped
  for (int x = 0; x < lo; ++x)
    BlurPixel(row + Size(x) * 4, up, down, Size(ClampCol(x - k, w)) * 4, Size(ClampCol(x + k, w)) * 4);
  if constexpr (std::endian::native == std::endian::little) {
    // Blue and red in the 16-bit lanes of one word, green (and alpha) in the
    // other: four samples sum to at most 1020, which fits a lane.
    constexpr uint32_t kLanes = 0x00FF00FFu;
    for (int x = lo; x < hi; ++x) {
      uint32_t a, b, c, d, self;
      std::memcpy(&a, up + Size(x - k) * 4, 4);
      std::memcpy(&b, up + Size(x + k) * 4, 4);
      std::memcpy(&c, down + Size(x - k) * 4, 4);
      std::memcpy(&d, down + Size(x + k) * 4, 4);
      std::memcpy(&self, row + Size(x) * 4, 4);
      const uint32_t blueRed = ((a & kLanes) + (b & kLanes) + (c & kLanes) + (d & kLanes)) >> 2;
      const uint32_t green = (((a >> 8) & 0xFFu) + ((b >> 8) & 0xFFu) + ((c >> 8) & 0xFFu) +
                              ((d >> 8) & 0xFFu)) >> 2;
      const uint32_t out = (blueRed & kLanes) | (green << 8) | (self & 0xFF000000u);
      std::memcpy(row + Size(x) * 4, &out, 4);
    }
  } else {
    for (int x = lo; x < hi; ++x)
      BlurPixel(row + Size(x) * 4, up, down, Size(x - k) * 4, Size(x + k) * 4);
  }
  for (int x = hi; x < w; ++x)
    BlurPixel(row + Size(x) * 4, up, down, Size(ClampCol(x - k, w)) * 4, Size(ClampCol(x + k, w)) * 4);
}

}  // namespace

void BlurPass(PixelView image, int distance) {
  if (!IsUsable(image)) return;
  const int w = image.width;
  const int h = image.height;
  const std::size_t stride = Size(w) * 4;
  // Top to bottom: rows above y already hold this pass's values, rows below
  // do not; BlurRowInOrder keeps the left-to-right order where it matters.
  for (int y = 0; y < h; ++y) {
    const int yu = ClampRow(y - distance, h);
    const int yd = ClampRow(y + distance, h);
    uint8_t* row = image.bits + Size(y) * stride;
    const uint8_t* up = image.bits + Size(yu) * stride;
    const uint8_t* down = image.bits + Size(yd) * stride;
    if (distance > 0 && yu != y && yd != y)
      BlurRowFromOtherRows(row, up, down, w, distance);
    else
      BlurRowInOrder(row, up, down, w, distance);
  }
}

void BlurBitmap(PixelView image, int passes) {
  for (int k = 1; k <= passes; ++k) BlurPass(image, k);
}

void FillGray(PixelView image, std::span<const IntRect> rects, uint8_t value) {
  if (!IsUsable(image)) return;
  for (const IntRect& rect : rects) {
    const IntRect r = ClipToImage(rect, image);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) SetColour(image.Pixel(x, y), value);
  }
}

std::vector<IntRect> ShadowOutline(std::span<const IntRect> regionRects, int formWidth,
                                   int formHeight, bool hasBorder, int cxBorders,
                                   int cyBorders) {
  std::vector<IntRect> out;
  if (!regionRects.empty()) {
    out.reserve(regionRects.size());
    for (const IntRect& r : regionRects)
      out.push_back(IntRect{r.left + kShadowMargin, r.top + kShadowMargin, r.right + kShadowMargin,
                            r.bottom + kShadowMargin});
    return out;
  }
  IntRect r{0, 0, formWidth, formHeight};
  if (hasBorder) {
    const int dx = cxBorders / 3;
    const int dy = cyBorders / 3;
    r.left -= dx;
    r.right += dx;
    r.top -= dy;
    r.bottom += dy;
  }
  out.push_back(IntRect{r.left + kShadowMargin, r.top + kShadowMargin, r.right + kShadowMargin,
                        r.bottom + kShadowMargin});
  return out;
}

void UpdateLayerPixels(PixelView image, uint32_t colorRef, bool takeAlpha) {
  if (!IsUsable(image)) return;
  const std::size_t red = (colorRef & 0xFFu) * 256;
  const std::size_t green = ((colorRef >> 8) & 0xFFu) * 256;
  const std::size_t blue = ((colorRef >> 16) & 0xFFu) * 256;
  uint8_t* p = image.bits;
  uint8_t* const end = p + ByteCount(image);
  for (; p != end; p += 4) {
    if (takeAlpha) p[3] = p[0];
    const uint8_t a = p[3];
    p[0] = MulTable[blue + a];
    p[1] = MulTable[green + a];
    p[2] = MulTable[red + a];
  }
}

void StampTransparentMask(PixelView image, std::span<const uint32_t> painted, int clientW,
                          int clientH, int ox, int oy, uint32_t key, bool stamp,
                          std::span<const IntRect> clip) {
  if (!IsUsable(image) || clientW <= 0 || clientH <= 0) return;
  if (painted.size() / static_cast<std::size_t>(clientW) < static_cast<std::size_t>(clientH)) return;
  const uint32_t keyColour = key & 0x00FFFFFFu;
  for (int cy = 0; cy < clientH; ++cy) {
    const long long y = static_cast<long long>(oy) + cy;
    if (y < 0 || y >= image.height) continue;
    for (int cx = 0; cx < clientW; ++cx) {
      const long long x = static_cast<long long>(ox) + cx;
      if (x < 0 || x >= image.width) continue;
      if (!clip.empty() && !Contains(clip, static_cast<int>(x), static_cast<int>(y))) continue;
      const uint32_t colour = painted[Size(cy) * Size(clientW) + Size(cx)] & 0x00FFFFFFu;
      const bool transparent = colour == keyColour;
      uint8_t* p = image.Pixel(static_cast<int>(x), static_cast<int>(y));
      if (stamp)
        SetColour(p, transparent ? 0 : 255);  // SRCCOPY, background black, text white
      else if (!transparent)
        SetColour(p, 0);  // SRCAND with background white, text black
    }
  }
}

void BuildShadowImage(PixelView image, std::span<const IntRect> outline, uint32_t colorRef) {
  if (!IsUsable(image)) return;
  std::memset(image.bits, 0, ByteCount(image));  // start from black, fully transparent
  FillGray(image, outline, 255);                  // the form's outline, white
  BlurBitmap(image, kShadowBlurPasses);           // spread it into a soft edge
  FillGray(image, outline, 0);                    // nothing shows under the form itself
  UpdateLayerPixels(image, colorRef, true);       // grey becomes alpha, colour premultiplied
}

}  // namespace core

// The drop shadow's image, computed in a plain 32-bit pixel buffer (blue,
// green, red, alpha; row 0 at the top) so that it can be checked without a
// window system.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace core {

struct PixelView {
  uint8_t* bits = nullptr;  // width * height * 4 bytes, no row padding
  int width = 0;
  int height = 0;
  uint8_t* Pixel(int x, int y) const { return bits + (static_cast<std::size_t>(y) * width + x) * 4; }
};

struct IntRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  bool operator==(const IntRect&) const = default;
};

inline constexpr int kShadowMargin = 16;
inline constexpr int kShadowBlurPasses = 3;

// MulTable[i * 256 + j] = i * j / 255, rounded down; filled before main runs.
extern const std::array<uint8_t, 65536> MulTable;

int ClampRow(int v, int height);
int ClampCol(int v, int width);

// One in-place pass: each colour byte becomes the mean of the four diagonal
// samples at distance k, read from the buffer as it is being rewritten (top to
// bottom, left to right). Alpha bytes are untouched.
void BlurPass(PixelView image, int distance);
// Passes with distances 1, 2, ... passes.
void BlurBitmap(PixelView image, int passes);

// Sets B, G and R of every pixel in the rectangles (clipped to the image) to
// `value`; alpha is left alone. Overlapping rectangles are fine.
void FillGray(PixelView image, std::span<const IntRect> rects, uint8_t value);

// The outline: either the form's window region, as rectangles in form window
// coordinates, or (when the form has none) its window rectangle, enlarged by a
// third of the border when the form has one. Result in bitmap coordinates.
std::vector<IntRect> ShadowOutline(std::span<const IntRect> regionRects, int formWidth,
                                   int formHeight, bool hasBorder, int cxBorders,
                                   int cyBorders);

// Turns the mask (blue byte, when takeAlpha) into alpha and writes the colour
// premultiplied by it. colorRef is 0x00BBGGRR (red in the lowest byte).
void UpdateLayerPixels(PixelView image, uint32_t colorRef, bool takeAlpha);

// The form's transparent-colour mask copied into the image at (ox, oy).
// `painted` holds the client area (clientW x clientH, 0x00RRGGBB per pixel as
// read from a 32-bit DIB); a pixel equal to `key` (same layout) is transparent.
// stamp: visible pixels become white, transparent ones black (SRCCOPY).
// !stamp: visible pixels become black, transparent ones stay (SRCAND).
// Only pixels inside `clip` are touched when clip is not empty. The top byte of
// `painted` and `key` is not compared; alpha bytes are left alone; nothing is
// done when `painted` holds fewer than clientW * clientH values.
void StampTransparentMask(PixelView image, std::span<const uint32_t> painted, int clientW,
                          int clientH, int ox, int oy, uint32_t key, bool stamp,
                          std::span<const IntRect> clip);

// The whole image for a form without a transparent colour: black, outline
// white, blurred, outline black again, then alpha and colour.
void BuildShadowImage(PixelView image, std::span<const IntRect> outline, uint32_t colorRef);

}  // namespace core

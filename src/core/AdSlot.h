// Where the picture panel of the ad strip goes for a picture of a given size.
#pragma once

namespace core {

struct SlotRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const SlotRect&) const = default;
};

inline constexpr int kSlotMaxPictureWidth = 168;
inline constexpr int kSlotMaxPictureHeight = 46;

// Panel bounds (frame included) for a picture of picW x picH on a skin of
// skinWidth pixels: 170 x 48 at most, right edge 10 left of the skin's, centred
// vertically on the 48-pixel slot at top 63.
SlotRect PictureSlot(int picW, int picH, int skinWidth);

}  // namespace core

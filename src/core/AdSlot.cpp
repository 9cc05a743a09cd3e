// Picture slot geometry of the ad strip: a one-pixel frame round the picture,
// capped in size, right-aligned and centred on the strip's picture band.
#include "AdSlot.h"

namespace core {

namespace {
int FloorDiv2(int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }
}  // namespace

SlotRect PictureSlot(int picW, int picH, int skinWidth) {
  SlotRect r;
  r.width = picW <= kSlotMaxPictureWidth ? picW + 2 : kSlotMaxPictureWidth + 2;
  r.height = picH <= kSlotMaxPictureHeight ? picH + 2 : kSlotMaxPictureHeight + 2;
  r.top = 63 + FloorDiv2((kSlotMaxPictureHeight + 2) - r.height);
  r.left = skinWidth - r.width - 10;
  return r;
}

}  // namespace core

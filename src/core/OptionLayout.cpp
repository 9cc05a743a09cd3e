// Arithmetic of the options window: placement and the key list's tab stops.
#include "OptionLayout.h"

#include <climits>

namespace core {

namespace {
int CentreAxis(int ownerStart, int ownerSize, int size) {
  // 64-bit so that no input overflows; division truncates toward zero.
  const long long v =
      static_cast<long long>(ownerStart) + (static_cast<long long>(ownerSize) - size) / 2;
  if (v < 0) return 0;
  return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}
}  // namespace

IntPoint CenterOver(int ownerLeft, int ownerTop, int ownerWidth, int ownerHeight, int width,
                    int height) {
  return IntPoint{CentreAxis(ownerLeft, ownerWidth, width), CentreAxis(ownerTop, ownerHeight, height)};
}

int TabUnitFromAlphabetWidth(int alphabetWidth) {
  if (alphabetWidth <= 0) return 0;
  return static_cast<int>((static_cast<long long>(alphabetWidth) + 26) / 52);
}

int RowTextOffset(int rowHeight, int textHeight) {
  return static_cast<int>((static_cast<long long>(rowHeight) - textHeight) / 2);
}

}  // namespace core

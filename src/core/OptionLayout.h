// Arithmetic of the options window: placement and the key list's tab stops.
#pragma once

namespace core {

struct IntPoint {
  int x = 0, y = 0;
  bool operator==(const IntPoint&) const = default;
};

// Centred over the owner (division truncating toward zero), never left of or
// above 0.
IntPoint CenterOver(int ownerLeft, int ownerTop, int ownerWidth, int ownerHeight, int width,
                    int height);

// Dialog-style tab unit: the width of "A..Za..z" divided by 52, rounded to the
// nearest pixel.
int TabUnitFromAlphabetWidth(int alphabetWidth);
inline constexpr const char* kTabUnitSample = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// Top offset of the row text: (rowHeight - textHeight) / 2, truncated.
int RowTextOffset(int rowHeight, int textHeight);

inline constexpr int kKeyListItemHeight = 16;
inline constexpr int kKeyListTabStops[2] = {-18, 22};

}  // namespace core

// Small drawing and message helpers shared by the controls.
#pragma once
#include <windows.h>

namespace win {

// The client point of a mouse message (coordinates may be negative).
inline POINT PointFromLParam(LPARAM lp) {
  return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

// a blended num/den of the way toward b.
inline COLORREF Mix(COLORREF a, COLORREF b, int num, int den) {
  auto channel = [&](int ca, int cb) { return ca + (cb - ca) * num / den; };
  return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
             channel(GetBValue(a), GetBValue(b)));
}

// The stock DC brush takes any colour without a brush object to own.
inline HBRUSH DcBrush(HDC dc, COLORREF color) {
  ::SetDCBrushColor(dc, color);
  return static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
}

}  // namespace win
